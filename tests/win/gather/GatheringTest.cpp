// The gathering of a tree on the Windows file system: which files get lines,
// which folders the outputs need, and what is listed instead of run.
#include "FileBytes.h"
#include "gather/Gathering.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

fs::path FreshFolder(const wchar_t* name)
{
    const fs::path root = fs::temp_directory_path() / L"parvane-win-tests" / name;
    fs::remove_all(root);
    fs::create_directories(root);
    return root;
}

void MakeFiles(const fs::path& root, std::initializer_list<const wchar_t*> paths)
{
    for (const wchar_t* path : paths) {
        fs::create_directories((root / path).parent_path());
        WriteFileBytes(root / path, "some bytes");
    }
}

CString Folder(const fs::path& path) { return (path.wstring() + L"\\").c_str(); }

std::set<std::wstring> Lines(const ConversionScript& script)
{
    return { script.FilesWithLine().begin(), script.FilesWithLine().end() };
}

}  // namespace

TEST(Gathering, ATreeGivesEveryFileItsPathAndTheOutputOnlyTheFoldersItsFilesNeed)
{
    const fs::path root = FreshFolder(L"tree");
    const fs::path in = root / L"in", out = in / L"out";
    MakeFiles(in, { L"a.dcm", L"sub\\b.dcm", L"deep\\er\\c.dcm", L"out\\earlier.dcm" });
    fs::create_directories(in / L"empty" / L"too");

    const InputLayout layout = SurveyInputFolder(Folder(in), Folder(out));
    EXPECT_FALSE(layout.fileSet);
    EXPECT_TRUE(layout.subfoldersHoldFiles);

    const GatheredInput tree = GatherInput(Folder(in), Folder(out), Subfolders::Converted);
    EXPECT_EQ(Lines(tree.script), (std::set<std::wstring>{ L"a.dcm", L"sub\\b.dcm", L"deep\\er\\c.dcm" }))
        << "the output folder inside the input folder is never entered";
    EXPECT_TRUE(tree.script.Skipped().empty());
    const std::vector<std::wstring>& made = tree.outputSubfolders;
    EXPECT_EQ(std::set<std::wstring>(made.begin(), made.end()),
              (std::set<std::wstring>{ L"sub\\", L"deep\\", L"deep\\er\\" }));
    EXPECT_LT(std::find(made.begin(), made.end(), L"deep\\"), std::find(made.begin(), made.end(), L"deep\\er\\"));

    const GatheredInput oneFolder = GatherInput(Folder(in), Folder(out), Subfolders::Skipped);
    EXPECT_EQ(Lines(oneFolder.script), std::set<std::wstring>{ L"a.dcm" });
    EXPECT_TRUE(oneFolder.outputSubfolders.empty());
}

TEST(Gathering, WhatCannotRunIsListedBeforeTheRun)
{
    const fs::path root = FreshFolder(L"listed");
    const fs::path in = root / L"in", out = root / L"out";
    // Long enough that the file's full path in the input folder reaches 260
    // characters; its folder alone stays below.
    const std::wstring longName(260 - (in.wstring() + L"\\long\\").size(), L'x');
    MakeFiles(in, { L"a.dcm" });
    fs::create_directories(in / L"long");
    WriteFileBytes(in / L"long" / longName, "some bytes");
    WriteFileBytes(in / L"DICOMDIR", "not a directory");

    const GatheredInput gathered = GatherInput(Folder(in), Folder(out), Subfolders::Converted);
    EXPECT_EQ(Lines(gathered.script), std::set<std::wstring>{ L"a.dcm" }) << "a DICOMDIR never gets a line";
    std::set<std::pair<std::wstring, SkipReason>> listed;
    for (const SkippedFile& file : gathered.script.Skipped())
        listed.insert({ file.name, file.reason });
    EXPECT_EQ(listed, (std::set<std::pair<std::wstring, SkipReason>>{
                          { L"DICOMDIR", SkipReason::DicomdirUnreadable },
                          { L"long\\" + longName, SkipReason::PathTooLong },
                      }));
}
