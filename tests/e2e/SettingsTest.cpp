// param.ini from the user's side: the first start without it, leaving through
// the exit button, the next start, a file that cannot be written, a close request.
#include "Driver.h"
#include "resource.h"
#include <gtest/gtest.h>

using namespace e2e;
namespace fs = std::filesystem;

namespace {

// C:\画像\ソ表\ in code page 932; ソ and 表 end in the byte of a backslash.
const std::wstring kJapaneseFolder = L"C:\\画像\\ソ表\\";
const std::string kJapaneseFolder932 = "C:\\\x89\xE6\x91\x9C\\\x83\x5C\x95\x5C\\";

class Settings : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wstring name = fs::path(::testing::UnitTest::GetInstance()->current_test_info()->name()).wstring();
        folder = MakeScratchFolder(L"Settings" + name);
        settingsFile = folder / L"param.ini";
        echoFile = folder.parent_path() / (L"Settings" + name + L".stdout");
    }
    void TearDown() override { ::SetFileAttributesW(settingsFile.c_str(), FILE_ATTRIBUTE_NORMAL); }

    std::vector<std::wstring> FolderContents() const
    {
        std::vector<std::wstring> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().wstring());
        return names;
    }
    static void ExpectSettingsBox(const MessageBoxView& box, const wchar_t* caption, const wchar_t* text)
    {
        EXPECT_EQ(box.caption, caption);
        EXPECT_EQ(box.text, text);
        EXPECT_TRUE(box.hasIcon);
        EXPECT_EQ(box.buttons, std::vector<int>{ IDOK });
    }

    fs::path folder;
    fs::path settingsFile;
    fs::path echoFile;
};

TEST_F(Settings, FirstStartReportsTheMissingFileBeforeTheWindowAndExitWritesEmptyFolders)
{
    ParvaneProcess parvane(folder, echoFile);
    MessageBoxView box = parvane.WaitForMessageBox();
    ASSERT_NE(box.hwnd, nullptr);
    ExpectSettingsBox(box, L"Param READ ERROR", L"Error:: [param.ini] Could not open...");
    EXPECT_EQ(parvane.WaitForMainWindow(0ms), nullptr) << "the window shows only after the box";
    parvane.Answer(box, IDOK);

    HWND main = parvane.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(box.owner, main);
    EXPECT_EQ(parvane.FieldText(IDC_EDIT_INPUT), L"");
    EXPECT_EQ(parvane.FieldText(IDC_EDIT_OUTPUT), L"");

    parvane.Click(IDC_BUTTON_EXIT);
    ASSERT_TRUE(parvane.WaitForExit());
    EXPECT_EQ(parvane.ExitCode(), 0u);
    EXPECT_EQ(ReadFileBytes(settingsFile), "[INPUT]\r\n[OUTPUT]\r\n");
    EXPECT_EQ(ReadFileBytes(echoFile), "") << "nothing is echoed without a file";
}

// The folders are typed and never converted: the exit button still saves them.
TEST_F(Settings, TypedFoldersAreSavedOnExitAndFillTheFieldsAtTheNextStart)
{
    WriteFileBytes(settingsFile, "[INPUT]C:\\old\\\r\n[OUTPUT]D:\\old\\\r\n[MORE]longer than what replaces it\r\n");
    {
        ParvaneProcess first(folder);
        ASSERT_NE(first.WaitForMainWindow(), nullptr);
        first.SetControlText(IDC_EDIT_INPUT, kJapaneseFolder);
        first.SetControlText(IDC_EDIT_OUTPUT, L"D:\\out");
        first.Click(IDC_BUTTON_EXIT);
        ASSERT_TRUE(first.WaitForExit());
        EXPECT_EQ(first.ExitCode(), 0u);
    }
    EXPECT_EQ(ReadFileBytes(settingsFile), "[INPUT]" + kJapaneseFolder932 + "\r\n[OUTPUT]D:\\out\r\n");
    EXPECT_EQ(FolderContents(), std::vector<std::wstring>{ L"param.ini" });

    ParvaneProcess next(folder, echoFile);
    ASSERT_NE(next.WaitForMainWindow(), nullptr);
    EXPECT_EQ(next.FieldText(IDC_EDIT_INPUT), kJapaneseFolder);
    EXPECT_EQ(next.FieldText(IDC_EDIT_OUTPUT), L"D:\\out");
    next.Click(IDC_BUTTON_EXIT);
    ASSERT_TRUE(next.WaitForExit());
    // Each pass's text (the third, behind the last line end, is empty), then
    // both folders on one line; standard output is in text mode.
    EXPECT_EQ(ReadFileBytes(echoFile),
              kJapaneseFolder932 + "\r\nD:\\out\r\n\r\n" + kJapaneseFolder932 + " D:\\out\r\n");
}

TEST_F(Settings, ReadOnlyFileShowsTheWriteErrorKeepsItsContentAndStillExitsWithZero)
{
    const std::string old = "[INPUT]C:\\old\\\r\n[OUTPUT]D:\\old\\\r\n";
    WriteFileBytes(settingsFile, old);
    ASSERT_TRUE(::SetFileAttributesW(settingsFile.c_str(), FILE_ATTRIBUTE_READONLY));
    ParvaneProcess parvane(folder);
    HWND main = parvane.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    parvane.SetControlText(IDC_EDIT_INPUT, L"C:\\new\\");

    parvane.Click(IDC_BUTTON_EXIT);
    MessageBoxView box = parvane.WaitForMessageBox();
    ASSERT_NE(box.hwnd, nullptr);
    ExpectSettingsBox(box, L"Param WRITE ERROR", L"Error:: [param.ini] Could not write...");
    EXPECT_EQ(box.owner, main);
    parvane.Answer(box, IDOK);

    ASSERT_TRUE(parvane.WaitForExit());
    EXPECT_EQ(parvane.ExitCode(), 0u);
    EXPECT_EQ(ReadFileBytes(settingsFile), old);
    EXPECT_EQ(FolderContents(), std::vector<std::wstring>{ L"param.ini" });
}

TEST_F(Settings, CloseRequestLeavesTheFileUntouched)
{
    const std::string old = "[OUTPUT]D:\\x\n[INPUT]C:\\y";  // not as the program would write it
    WriteFileBytes(settingsFile, old);
    ParvaneProcess parvane(folder);
    HWND main = parvane.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    parvane.SetControlText(IDC_EDIT_INPUT, L"C:\\typed\\");
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(parvane.WaitForExit());
    EXPECT_EQ(ReadFileBytes(settingsFile), old);
}

}  // namespace
