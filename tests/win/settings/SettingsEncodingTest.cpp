// param.ini through the real LoadSettings and SaveSettings on a Japanese
// system (ANSI code page 932): what reaches the disk, and what comes back.
#include "BoxAnswerer.h"
#include "FileBytes.h"
#include "ui/DialogSettings.h"
#include "ui/ParvaneDlg.h"
#include <gtest/gtest.h>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// The real main dialog, given a stand-in window that holds its two edit fields,
// working in a scratch folder of its own.
class SettingsOnJapaneseSystem : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::GetACP(), 932u) << "run under Wine with LC_ALL=ja_JP.UTF-8";
        folder = std::filesystem::temp_directory_path() / L"parvane-settings-encoding";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        host = ::CreateWindowExW(0, L"Static", L"Parvane", WS_POPUP, 0, 0, 400, 100, nullptr,
                                 nullptr, nullptr, nullptr);
        MakeField(IDC_EDIT_INPUT);
        MakeField(IDC_EDIT_OUTPUT);
        dlg.m_hWnd = host;
    }
    void TearDown() override
    {
        dlg.m_hWnd = nullptr;
        ::DestroyWindow(host);
        std::filesystem::current_path(previousFolder);
    }
    void MakeField(int id)
    {
        ::CreateWindowExW(0, L"Edit", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 380, 20, host,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    void SetField(int id, const std::wstring& text) { ::SetDlgItemTextW(host, id, text.c_str()); }
    std::wstring Field(int id)
    {
        wchar_t text[1024] = {};
        ::GetDlgItemTextW(host, id, text, 1024);
        return text;
    }
    std::vector<std::wstring> FolderContents()
    {
        std::vector<std::wstring> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().wstring());
        return names;
    }

    std::filesystem::path folder;
    std::filesystem::path previousFolder;
    HWND host = nullptr;
    CParvaneDlg dlg;
    BoxAnswerer boxes;
};

TEST_F(SettingsOnJapaneseSystem, JapaneseFoldersAreStoredInCodePage932AndComeBackUnchanged)
{
    // ソ and 表 end in the byte of a backslash, 0x5C.
    const std::wstring input = L"C:\\画像\\ソ表\\";
    const std::wstring output = L"D:\\出力 ]";
    SetField(IDC_EDIT_INPUT, input);
    SetField(IDC_EDIT_OUTPUT, output);
    SaveSettings(dlg);
    EXPECT_EQ(ReadFileBytes(folder / L"param.ini"),
              "[INPUT]C:\\\x89\xE6\x91\x9C\\\x83\x5C\x95\x5C\\\r\n[OUTPUT]D:\\\x8F\x6F\x97\xCD ]\r\n");

    SetField(IDC_EDIT_INPUT, L"");
    SetField(IDC_EDIT_OUTPUT, L"");
    dlg.m_strInputFolder = L"";
    dlg.m_strOutputFolder = L"";
    LoadSettings(dlg);
    EXPECT_EQ(dlg.m_strInputFolder.Str(), input);
    EXPECT_EQ(dlg.m_strOutputFolder.Str(), output);
    EXPECT_EQ(Field(IDC_EDIT_INPUT), input);
    EXPECT_EQ(Field(IDC_EDIT_OUTPUT), output);
    EXPECT_TRUE(boxes.Seen().empty());
    EXPECT_EQ(FolderContents(), std::vector<std::wstring>{ L"param.ini" });
}

TEST_F(SettingsOnJapaneseSystem, FolderThatCodePage932CannotHoldIsRefusedAndTheOldFileKept)
{
    const std::string old = "[INPUT]C:\\old\\\r\n[OUTPUT]D:\\old\\\r\n";
    WriteFileBytes(folder / L"param.ini", old);
    SetField(IDC_EDIT_INPUT, L"C:\\画像\\");
    SetField(IDC_EDIT_OUTPUT, L"D:\\한국\\");  // Hangul has no form in code page 932
    SaveSettings(dlg);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].caption, L"Param WRITE ERROR");
    EXPECT_EQ(boxes.Seen()[0].text, L"Error:: [param.ini] Could not write...");
    EXPECT_TRUE(boxes.Seen()[0].hasIcon);
    EXPECT_EQ(ReadFileBytes(folder / L"param.ini"), old);
    EXPECT_EQ(FolderContents(), std::vector<std::wstring>{ L"param.ini" });
}

TEST_F(SettingsOnJapaneseSystem, FileThatCannotBeReplacedKeepsItsContentAndNoTemporaryFileStays)
{
    const std::string old = "[INPUT]C:\\old\\\r\n[OUTPUT]D:\\old\\\r\n";
    WriteFileBytes(folder / L"param.ini", old);
    // Another program holds the file open and does not let it be replaced.
    HANDLE holder = ::CreateFileW(L"param.ini", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    SetField(IDC_EDIT_INPUT, L"C:\\new\\");
    SetField(IDC_EDIT_OUTPUT, L"D:\\new\\");
    SaveSettings(dlg);
    ::CloseHandle(holder);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].caption, L"Param WRITE ERROR");
    EXPECT_EQ(ReadFileBytes(folder / L"param.ini"), old);
    EXPECT_EQ(FolderContents(), std::vector<std::wstring>{ L"param.ini" });
}

}  // namespace
