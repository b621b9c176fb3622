// The folder-name key filter, driven with real key input: refused keys, the
// swallowed Escape and Enter, and keys that still type or press as usual.
#include "Driver.h"
#include "resource.h"
#include <gtest/gtest.h>
#include "RefusalTexts.h"

using namespace e2e;

namespace {

constexpr WORD kDigit2 = '2';
constexpr Duration kBoxWait = 5s;       // a box that is due shows well within this
constexpr Duration kQuietTime = 700ms;  // long enough for a wrongly shown box to appear

// What an edit field shows: its text, selection and caret.
struct FieldState {
    std::wstring text;
    DWORD selection = 0;  // EM_GETSEL: start in the low word, end in the high word
    RECT caret{};

    bool operator==(const FieldState& other) const
    {
        return text == other.text && selection == other.selection && ::EqualRect(&caret, &other.caret);
    }
};

std::ostream& operator<<(std::ostream& out, const FieldState& state)
{
    return out << "selection " << LOWORD(state.selection) << ".." << HIWORD(state.selection) << ", caret x "
               << state.caret.left << ", text length " << state.text.size();
}

class KeyFilter : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = MakeScratchFolder(L"KeyFilter");
        WriteFileBytes(folder / L"param.ini", "[INPUT]C:\\in\\\r\n[OUTPUT]C:\\out\\\r\n");
        parvane = std::make_unique<ParvaneProcess>(folder);
        main = parvane->WaitForMainWindow();
        ASSERT_NE(main, nullptr);
    }

    FieldState ReadField(int id) const
    {
        FieldState state;
        state.text = parvane->FieldText(id);
        state.selection = static_cast<DWORD>(::SendMessageW(parvane->Control(id), EM_GETSEL, 0, 0));
        GUITHREADINFO gui{};
        gui.cbSize = sizeof(gui);
        if (::GetGUIThreadInfo(::GetWindowThreadProcessId(main, nullptr), &gui))
            state.caret = gui.rcCaret;
        return state;
    }

    // Focuses the field and gives it a text with a selection in the middle.
    void PrepareField(int id, const std::wstring& text, int selStart, int selEnd)
    {
        parvane->FocusControl(id);
        parvane->SetControlText(id, text);
        ::SendMessageW(parvane->Control(id), EM_SETSEL, selStart, selEnd);
    }

    std::filesystem::path folder;
    std::unique_ptr<ParvaneProcess> parvane;
    HWND main = nullptr;
};

// The one box a refused key shows: its words, and nothing else on it.
void ExpectRefusalBox(const MessageBoxView& box, HWND main, const std::wstring& text)
{
    ASSERT_NE(box.hwnd, nullptr) << "no box appeared";
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, L"Parvane");
    EXPECT_FALSE(box.hasIcon);
    EXPECT_EQ(box.buttons, std::vector<int>{ IDOK });
    EXPECT_EQ(box.owner, main);
}

}  // namespace

TEST_F(KeyFilter, RefusedKeyShowsOneBoxNamingTheCharacterAndTypesNothing)
{
    struct Case {
        const char* name;
        WORD key;
        bool shift;
        bool ctrl;
        std::wstring text;
    } const cases[] = {
        { "Shift+OEM_2", VK_OEM_2, true, false, kQuestionMark },
        { "OEM_2", VK_OEM_2, false, false, kSlash },
        { "Ctrl+OEM_2", VK_OEM_2, false, true, kSlash },
        { "keypad divide", VK_DIVIDE, false, false, kSlash },
        { "Shift+keypad divide", VK_DIVIDE, true, false, kSlash },
        { "Shift+OEM_1", VK_OEM_1, true, false, kAsterisk },
        { "keypad multiply", VK_MULTIPLY, false, false, kAsterisk },
        { "Shift+keypad multiply", VK_MULTIPLY, true, false, kAsterisk },
        { "OEM_1", VK_OEM_1, false, false, kColon },
        { "Shift+2", kDigit2, true, false, kDoubleQuote },
        { "Ctrl+Shift+2", kDigit2, true, true, kDoubleQuote },
        { "Shift+comma", VK_OEM_COMMA, true, false, kLessThan },
        { "Shift+period", VK_OEM_PERIOD, true, false, kGreaterThan },
        { "Shift+OEM_102", VK_OEM_102, true, false, kVerticalBar },
        { "Shift+OEM_5", VK_OEM_5, true, false, kVerticalBar },
    };
    bool screenshotSaved = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PrepareField(IDC_EDIT_OUTPUT, L"Z:\\data\\folder", 3, 7);
        FieldState before = ReadField(IDC_EDIT_OUTPUT);

        PressKey(c.key, c.shift, c.ctrl);
        MessageBoxView box = parvane->WaitForMessageBox(kBoxWait);
        ExpectRefusalBox(box, main, c.text);
        if (!box.hwnd)
            continue;
        if (!screenshotSaved)
            screenshotSaved = SaveScreenshot(box.hwnd, ArtifactFolder() / L"refusal-box.bmp");
        parvane->Answer(box, IDOK);

        EXPECT_TRUE(parvane->NoMessageBoxWithin(kQuietTime)) << "a second box";
        EXPECT_EQ(ReadField(IDC_EDIT_OUTPUT), before);
    }
}

TEST_F(KeyFilter, RefusedKeyShowsItsBoxWithTheFocusOnAButton)
{
    parvane->FocusControl(IDC_BUTTON_BROWSE_INPUT);
    std::wstring input = parvane->FieldText(IDC_EDIT_INPUT);
    std::wstring output = parvane->FieldText(IDC_EDIT_OUTPUT);

    PressKey(VK_OEM_1, true);
    MessageBoxView box = parvane->WaitForMessageBox(kBoxWait);
    ExpectRefusalBox(box, main, kAsterisk);
    parvane->Answer(box, IDOK);

    EXPECT_TRUE(parvane->NoMessageBoxWithin(kQuietTime)) << "a second box, or the browser";
    EXPECT_EQ(parvane->FieldText(IDC_EDIT_INPUT), input);
    EXPECT_EQ(parvane->FieldText(IDC_EDIT_OUTPUT), output);
}

// Escape would end the dialog and Enter press the focused or default button;
// both are swallowed. A refused key pressed afterwards proves that the keys
// before it have been handled: its box must be the first to appear.
TEST_F(KeyFilter, EscapeAndEnterLeaveTheDialogOpenAndPressNothing)
{
    struct Case {
        const char* name;
        int focus;
        WORD key;
    } const cases[] = {
        { "Escape in a field", IDC_EDIT_INPUT, VK_ESCAPE },
        { "Enter in a field", IDC_EDIT_INPUT, VK_RETURN },
        { "Escape on the convert button", IDC_BUTTON_CONVERT, VK_ESCAPE },
        { "Enter on the convert button", IDC_BUTTON_CONVERT, VK_RETURN },
        { "Escape on the exit button", IDC_BUTTON_EXIT, VK_ESCAPE },
        { "Enter on the exit button", IDC_BUTTON_EXIT, VK_RETURN },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        parvane->FocusControl(c.focus);
        std::wstring input = parvane->FieldText(IDC_EDIT_INPUT);
        std::wstring output = parvane->FieldText(IDC_EDIT_OUTPUT);

        PressKey(c.key);
        PressKey(VK_OEM_2);
        MessageBoxView box = parvane->WaitForMessageBox(kBoxWait);
        ASSERT_TRUE(parvane->Running()) << "the dialog ended";
        ExpectRefusalBox(box, main, kSlash);
        if (box.hwnd)
            parvane->Answer(box, IDOK);

        EXPECT_TRUE(parvane->NoMessageBoxWithin(kQuietTime));
        EXPECT_TRUE(parvane->Running());
        EXPECT_EQ(parvane->FieldText(IDC_EDIT_INPUT), input);
        EXPECT_EQ(parvane->FieldText(IDC_EDIT_OUTPUT), output);
    }
}

TEST_F(KeyFilter, SpaceStillPressesTheFocusedButton)
{
    parvane->FocusControl(IDC_BUTTON_EXIT);
    PressKey(VK_SPACE);
    ASSERT_TRUE(parvane->WaitForExit());
    EXPECT_EQ(parvane->ExitCode(), 0u);
}

// Comma, period and 2 type the same under the Japanese and the US layout. The
// two backslash keys type whatever the display's keyboard makes of them (on
// the test display's US keymap VK_OEM_5 types \ and VK_OEM_102 types <); the
// filter lets them through all the same. The character typed is recorded as a
// test property.
TEST_F(KeyFilter, KeysOfTheTableWithoutShiftAreTyped)
{
    struct Case {
        const char* name;
        WORD key;
        const wchar_t* typed;  // null: whatever the layout makes of the key
    } const cases[] = {
        { "comma", VK_OEM_COMMA, L"," },
        { "period", VK_OEM_PERIOD, L"." },
        { "2", kDigit2, L"2" },
        { "OEM_5", VK_OEM_5, nullptr },
        { "OEM_102", VK_OEM_102, nullptr },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PrepareField(IDC_EDIT_INPUT, L"", 0, 0);

        PressKey(c.key);
        bool typed = WaitFor([&] { return !parvane->FieldText(IDC_EDIT_INPUT).empty(); }, 5s);
        std::wstring text = parvane->FieldText(IDC_EDIT_INPUT);
        EXPECT_TRUE(typed) << "nothing was typed";
        EXPECT_EQ(text.size(), 1u);
        if (c.typed) {
            EXPECT_EQ(text, c.typed);
        }
        if (!text.empty())
            RecordProperty(c.name, static_cast<int>(text[0]));
        EXPECT_TRUE(parvane->NoMessageBoxWithin(300ms));
    }
}
