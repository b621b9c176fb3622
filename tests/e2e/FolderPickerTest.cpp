// The browse buttons and the shell's folder browser they open: what lands in
// the fields when a folder is chosen and when the browser is cancelled.
#include "Driver.h"
#include "resource.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <optional>

using namespace e2e;

namespace {

const std::wstring kBrowserTitle = L"フォルダを選択してください";

// The browser's tree, read and driven from this process. Item handles are
// the tree's own values, usable here as opaque handles; item texts are read
// through a buffer placed in the tree's process.
class BrowserTree {
public:
    BrowserTree(HWND tree, DWORD processId)
        : m_tree(tree),
          m_process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId))
    {
        if (m_process)
            m_remote = ::VirtualAllocEx(m_process, nullptr, kRemoteSize, MEM_COMMIT, PAGE_READWRITE);
    }
    ~BrowserTree()
    {
        if (m_remote)
            ::VirtualFreeEx(m_process, m_remote, 0, MEM_RELEASE);
        if (m_process)
            ::CloseHandle(m_process);
    }
    BrowserTree(const BrowserTree&) = delete;
    BrowserTree& operator=(const BrowserTree&) = delete;

    bool Usable() const { return m_tree && m_remote; }

    HTREEITEM Root() const { return Next(nullptr, TVGN_ROOT); }
    HTREEITEM Selected() const { return Next(nullptr, TVGN_CARET); }
    HTREEITEM Parent(HTREEITEM item) const { return Next(item, TVGN_PARENT); }

    // Expands the item first, which makes the browser fill in its children.
    std::vector<HTREEITEM> Children(HTREEITEM item) const
    {
        ::SendMessageW(m_tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        std::vector<HTREEITEM> children;
        for (HTREEITEM child = Next(item, TVGN_CHILD); child; child = Next(child, TVGN_NEXT))
            children.push_back(child);
        return children;
    }

    std::wstring Text(HTREEITEM item) const
    {
        auto* remoteText = static_cast<char*>(m_remote) + sizeof(TVITEMW);
        TVITEMW query{};
        query.mask = TVIF_TEXT;
        query.hItem = item;
        query.pszText = reinterpret_cast<wchar_t*>(remoteText);
        query.cchTextMax = MAX_PATH;
        wchar_t text[MAX_PATH] = {};
        if (!::WriteProcessMemory(m_process, m_remote, &query, sizeof(query), nullptr) ||
            !::SendMessageW(m_tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(m_remote)) ||
            !::ReadProcessMemory(m_process, remoteText, text, sizeof(text) - sizeof(wchar_t), nullptr))
            return {};
        return text;
    }

    void Select(HTREEITEM item) const
    {
        ::SendMessageW(m_tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    }

    // The first child whose text satisfies the predicate; null when none does.
    template <typename Predicate>
    HTREEITEM FindChild(HTREEITEM parent, Predicate matches) const
    {
        for (HTREEITEM child : Children(parent))
            if (matches(Text(child)))
                return child;
        return nullptr;
    }

    // The texts of the item's children, for failure messages.
    std::wstring ChildTexts(HTREEITEM parent) const
    {
        std::wstring texts;
        for (HTREEITEM child : Children(parent))
            texts += L"[" + Text(child) + L"] ";
        return texts;
    }

private:
    static constexpr SIZE_T kRemoteSize = sizeof(TVITEMW) + MAX_PATH * sizeof(wchar_t);

    HTREEITEM Next(HTREEITEM item, UINT relation) const
    {
        return reinterpret_cast<HTREEITEM>(
            ::SendMessageW(m_tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }

    HWND m_tree;
    HANDLE m_process;
    void* m_remote = nullptr;
};

HWND FindChildWindow(HWND parent, const std::wstring& className, const std::wstring& text = {})
{
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (_wcsicmp(ClassName(child).c_str(), className.c_str()) == 0 && (text.empty() || WindowText(child) == text))
            return child;
    return nullptr;
}

HWND TreeOf(const MessageBoxView& browser)
{
    return FindChildWindow(browser.hwnd, WC_TREEVIEWW);
}

bool SameText(const std::wstring& a, const std::wstring& b)
{
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

// The drive's item names it with its letter and colon, as in "(C:)".
HTREEITEM FindDrive(const BrowserTree& tree, wchar_t letter)
{
    const std::wstring tag = std::wstring(1, letter) + L":";
    auto namesDrive = [&](const std::wstring& text) { return text.find(tag) != std::wstring::npos; };
    for (HTREEITEM top : tree.Children(tree.Root()))
        if (HTREEITEM drive = tree.FindChild(top, namesDrive))
            return drive;
    return nullptr;
}

// The item of a folder given by its full path, found level by level.
HTREEITEM FindFolder(const BrowserTree& tree, const std::filesystem::path& path)
{
    HTREEITEM item = FindDrive(tree, path.root_name().wstring().at(0));
    for (const std::filesystem::path& part : path.relative_path()) {
        if (!item || part.empty())
            break;
        const std::wstring name = part.wstring();
        HTREEITEM next = tree.FindChild(item, [&](const std::wstring& text) { return SameText(text, name); });
        if (!next)
            ADD_FAILURE() << "no item for " << part << " among " << ::testing::PrintToString(tree.ChildTexts(item));
        item = next;
    }
    return item;
}

class FolderPicker : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = MakeScratchFolder(L"FolderPicker");
        WriteFileBytes(folder / L"param.ini", "[INPUT]C:\\in\\\r\n[OUTPUT]C:\\out\\\r\n");
        chosenFolder = folder / L"選んだフォルダ";
        std::filesystem::create_directories(chosenFolder);
        parvane = std::make_unique<ParvaneProcess>(folder);
        main = parvane->WaitForMainWindow();
        ASSERT_NE(main, nullptr);
    }

    // Presses a browse button and waits for the browser.
    MessageBoxView OpenBrowser(int buttonId)
    {
        parvane->Click(buttonId);
        MessageBoxView browser = parvane->WaitForMessageBox();
        EXPECT_NE(browser.hwnd, nullptr) << "no browser appeared";
        return browser;
    }

    // Selects the item as a user would and confirms it with the OK button.
    void Choose(const MessageBoxView& browser, const BrowserTree& tree, HTREEITEM item)
    {
        ASSERT_NE(item, nullptr);
        tree.Select(item);
        ASSERT_TRUE(::IsWindowEnabled(::GetDlgItem(browser.hwnd, IDOK))) << "OK is disabled";
        parvane->Answer(browser, IDOK);
    }

    // The handler writes the fields after the browser has gone; give it the time.
    void ExpectFieldBecomes(int id, const std::wstring& expected)
    {
        WaitFor([&] { return parvane->FieldText(id) == expected; }, 5s);
        EXPECT_EQ(parvane->FieldText(id), expected);
    }

    std::filesystem::path folder;
    std::filesystem::path chosenFolder;
    std::unique_ptr<ParvaneProcess> parvane;
    HWND main = nullptr;
};

}  // namespace

TEST_F(FolderPicker, BrowserOpensWithItsTitleAtTheTopOfTheNamespaceOwnedByTheDialog)
{
    MessageBoxView browser = OpenBrowser(IDC_BUTTON_BROWSE_INPUT);
    ASSERT_NE(browser.hwnd, nullptr);
    EXPECT_EQ(browser.owner, main);
    HWND title = FindChildWindow(browser.hwnd, L"Static", kBrowserTitle);
    ASSERT_NE(title, nullptr) << "no title";
    EXPECT_TRUE(::IsWindowVisible(title));

    BrowserTree tree(TreeOf(browser), parvane->Id());
    ASSERT_TRUE(tree.Usable());
    HTREEITEM selected = tree.Selected();
    EXPECT_TRUE(selected == nullptr || selected == tree.Root())
        << "preselected: " << ::testing::PrintToString(tree.Text(selected));
    EXPECT_TRUE(SaveScreenshot(browser.hwnd, ArtifactFolder() / L"folder-browser.bmp"));
    parvane->Answer(browser, IDCANCEL);
}

TEST_F(FolderPicker, ChosenFolderGoesWithOneBackslashIntoThePressedButtonsField)
{
    struct Case {
        const char* name;
        int button;
        int field;
        int otherField;
    } const cases[] = {
        { "input", IDC_BUTTON_BROWSE_INPUT, IDC_EDIT_INPUT, IDC_EDIT_OUTPUT },
        { "output", IDC_BUTTON_BROWSE_OUTPUT, IDC_EDIT_OUTPUT, IDC_EDIT_INPUT },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Typed but not exchanged: the browse handler puts the member string back.
        std::wstring otherMember = parvane->FieldText(c.otherField);
        parvane->SetControlText(c.otherField, L"typed but not taken");

        MessageBoxView browser = OpenBrowser(c.button);
        ASSERT_NE(browser.hwnd, nullptr);
        BrowserTree tree(TreeOf(browser), parvane->Id());
        ASSERT_TRUE(tree.Usable());
        Choose(browser, tree, FindFolder(tree, chosenFolder));

        ExpectFieldBecomes(c.field, chosenFolder.wstring() + L"\\");
        ExpectFieldBecomes(c.otherField, otherMember);
    }
}

TEST_F(FolderPicker, ChosenDriveRootEndsInTwoBackslashes)
{
    MessageBoxView browser = OpenBrowser(IDC_BUTTON_BROWSE_OUTPUT);
    ASSERT_NE(browser.hwnd, nullptr);
    BrowserTree tree(TreeOf(browser), parvane->Id());
    ASSERT_TRUE(tree.Usable());
    Choose(browser, tree, FindDrive(tree, L'C'));

    ExpectFieldBecomes(IDC_EDIT_OUTPUT, L"C:\\\\");
}

// The input member first gets a folder of its own, so that what cancelling
// keeps is known whatever the settings file gave.
TEST_F(FolderPicker, CancellingKeepsTheMemberStringAndRewritesBothFields)
{
    MessageBoxView browser = OpenBrowser(IDC_BUTTON_BROWSE_INPUT);
    ASSERT_NE(browser.hwnd, nullptr);
    {
        BrowserTree tree(TreeOf(browser), parvane->Id());
        ASSERT_TRUE(tree.Usable());
        Choose(browser, tree, FindFolder(tree, chosenFolder));
    }
    const std::wstring inputMember = chosenFolder.wstring() + L"\\";
    ExpectFieldBecomes(IDC_EDIT_INPUT, inputMember);
    ASSERT_FALSE(HasFailure());
    const std::wstring outputMember = parvane->FieldText(IDC_EDIT_OUTPUT);
    parvane->SetControlText(IDC_EDIT_INPUT, L"typed into input");
    parvane->SetControlText(IDC_EDIT_OUTPUT, L"typed into output");

    browser = OpenBrowser(IDC_BUTTON_BROWSE_INPUT);
    ASSERT_NE(browser.hwnd, nullptr);
    // A real Escape: the browser's own loop sees it, not the dialog's key filter.
    ::SetForegroundWindow(browser.hwnd);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(browser.hwnd); })) << "the browser stayed open";

    ExpectFieldBecomes(IDC_EDIT_INPUT, inputMember);
    ExpectFieldBecomes(IDC_EDIT_OUTPUT, outputMember);
}

// Only file-system folders can be confirmed; an item that has no path all the
// same (confirmed past the disabled OK button) leaves the field as it was.
TEST_F(FolderPicker, ItemWithoutAPathIsNotConfirmableAndKeepsTheField)
{
    MessageBoxView browser = OpenBrowser(IDC_BUTTON_BROWSE_OUTPUT);
    ASSERT_NE(browser.hwnd, nullptr);
    BrowserTree tree(TreeOf(browser), parvane->Id());
    ASSERT_TRUE(tree.Usable());
    const std::wstring outputMember = parvane->FieldText(IDC_EDIT_OUTPUT);

    HTREEITEM driveC = FindDrive(tree, L'C');
    ASSERT_NE(driveC, nullptr);
    HTREEITEM computer = tree.Parent(driveC);  // holds the drives; a shell folder without a path
    ASSERT_NE(computer, nullptr);
    tree.Select(computer);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(browser.hwnd, IDOK))) << ::testing::PrintToString(tree.Text(computer));

    parvane->SetControlText(IDC_EDIT_OUTPUT, L"typed but not taken");
    parvane->Answer(browser, IDOK);
    ExpectFieldBecomes(IDC_EDIT_OUTPUT, outputMember);
}
