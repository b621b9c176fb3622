// The layer's file finder and text file, as the batch-convert button uses them.
#include "FileBytes.h"
#include "afx/afx.h"
#include <gtest/gtest.h>
#include <clocale>
#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace {

fs::path FreshFolder(const wchar_t* name)
{
    fs::path folder = fs::temp_directory_path() / L"parvane-win-tests" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

TEST(FileFind, EveryEntryBecomesCurrentExactlyOnce)
{
    fs::path folder = FreshFolder(L"find");
    for (const wchar_t* name : { L"a.dcm", L"b b.dcm", L"画像" })
        std::ofstream(folder / name) << "x";
    fs::create_directory(folder / L"sub");

    CFileFind finder;
    ASSERT_TRUE(finder.FindFile((folder.wstring() + L"\\*").c_str()));
    std::multiset<std::wstring> files, folders;
    BOOL more;
    do {
        more = finder.FindNextFile();
        if (finder.IsDots())
            continue;
        (finder.IsDirectory() ? folders : files).insert(finder.GetFileName().Str());
    } while (more);
    EXPECT_EQ(files, (std::multiset<std::wstring>{ L"a.dcm", L"b b.dcm", L"画像" }));
    EXPECT_EQ(folders, std::multiset<std::wstring>{ L"sub" });
}

TEST(FileFind, MissingFolderFindsNothing)
{
    CFileFind finder;
    EXPECT_FALSE(finder.FindFile(L"Z:\\no\\such\\folder\\*"));
    EXPECT_FALSE(finder.FindNextFile());
}

TEST(StdioFile, WritesTextInTheLocalesCodePageWithCrLf)
{
    fs::path file = FreshFolder(L"stdio") / L"out.bat";
    std::setlocale(LC_ALL, "japanese");
    {
        CStdioFile out(file.c_str(), CFile::modeCreate | CFile::modeWrite);
        out.WriteString(L"dcmdjpeg \"C:\\入力\\画像.dcm\"\n\n");
        out.Close();
    }
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(ReadFileBytes(file), "dcmdjpeg \"C:\\\x93\xfc\x97\xcd\\\x89\xe6\x91\x9c.dcm\"\r\n\r\n");

    CStdioFile again(file.c_str(), CFile::modeCreate | CFile::modeWrite);
    again.Close();
    EXPECT_EQ(ReadFileBytes(file), "") << "an existing file is emptied";
}

TEST(StdioFile, ThrowsFileExceptionWhenItCannotOpen)
{
    fs::path file = FreshFolder(L"stdio-missing") / L"no" / L"such" / L"out.bat";
    EXPECT_THROW(CStdioFile(file.c_str(), CFile::modeCreate | CFile::modeWrite), CFileException);
}

}  // namespace
