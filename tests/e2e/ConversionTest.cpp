// The batch-convert button from end to end, with the real dcmdjpeg.exe.
#include "CodePageBytes.h"
#include "DicomBytes.h"
#include "ConversionFixture.h"
#include "Driver.h"
#include "resource.h"
#include <gtest/gtest.h>
#include <cstring>
#include <map>
#include <memory>

using namespace e2e;
namespace fs = std::filesystem;

namespace {

constexpr Duration kRunTimeout = 180s;

class Conversion : public ConversionFixture {
protected:
    void AddFile(const fs::path& folder, const std::wstring& name, const wchar_t* fixture)
    {
        fs::create_directories(folder);
        fs::copy_file(DicomFixtureFolder() / fixture, folder / name);
    }

    void ExpectNothingWritten(const fs::path& output)
    {
        EXPECT_FALSE(fs::exists(work / L"uncompress.bat"));
        EXPECT_FALSE(fs::exists(output));
    }

};

TEST_F(Conversion, DecompressesEveryPlainFileOfTheInputFolder)
{
    const fs::path in = work / L"入力 folder";
    const fs::path out = work / L"out";
    fs::create_directories(out);
    // name → what the batch line must hold for it ('%' doubled for the interpreter)
    const std::map<std::wstring, std::wstring> lossless = {
        { L"lossless.dcm", L"lossless.dcm" }, { L"画像.dcm", L"画像.dcm" }, { L"noext", L"noext" },
        { L"hidden.dcm", L"hidden.dcm" }, { L"50%.dcm", L"50%%.dcm" }, { L"a%TEMP%b.dcm", L"a%%TEMP%%b.dcm" },
    };
    const std::map<std::wstring, std::wstring> baseline = {
        { L"baseline.dcm", L"baseline.dcm" }, { L"two three.dcm", L"two three.dcm" },
    };
    for (const auto& [name, inBatch] : lossless)
        AddFile(in, name, L"lossless.dcm");
    for (const auto& [name, inBatch] : baseline)
        AddFile(in, name, L"baseline.dcm");
    WriteFileBytes(in / L"notdicom.txt", "this is not a DICOM file\r\n");
    AddFile(in / L"sub", L"inner.dcm", L"lossless.dcm");
    AddFile(in, L"한글.dcm", L"lossless.dcm");  // code page 932 cannot hold this name
    ::SetFileAttributesW((in / L"hidden.dcm").c_str(), FILE_ATTRIBUTE_HIDDEN);

    Start(in.wstring(), out.wstring() + L"\\");
    parvane->Click(IDC_BUTTON_CONVERT);
    // The subfolder holds a file: asked about, and left out as ever with No.
    const MessageBoxView subfolders = parvane->WaitForMessageBox();
    EXPECT_EQ(subfolders.caption, L"サブフォルダも変換しますか");
    parvane->Answer(subfolders, IDNO);
    MessageBoxView leftOut = parvane->WaitForMessageBox(kRunTimeout);
    ASSERT_NE(leftOut.hwnd, nullptr) << "the run ends by naming the files it left out or could not convert";
    EXPECT_EQ(leftOut.caption, L"変換しなかったファイルがあります");
    EXPECT_NE(leftOut.text.find(L"変換しなかったファイルが 2 件あります"), std::wstring::npos) << leftOut.text.size();
    EXPECT_NE(leftOut.text.find(L"한글.dcm"), std::wstring::npos);
    EXPECT_NE(leftOut.text.find(L"notdicom.txt"), std::wstring::npos);
    EXPECT_TRUE(leftOut.hasIcon);
    EXPECT_EQ(leftOut.buttons, std::vector<int>{ IDOK });
    parvane->Answer(leftOut, IDOK);

    // One line per plain file, in the order the platform's search gives them.
    std::map<std::wstring, std::wstring> batchNames = lossless;
    batchNames.insert(baseline.begin(), baseline.end());
    batchNames[L"notdicom.txt"] = L"notdicom.txt";
    std::string expected;
    WIN32_FIND_DATAW entry;
    HANDLE search = ::FindFirstFileW((in / L"*").c_str(), &entry);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        auto known = batchNames.find(entry.cFileName);
        if (known == batchNames.end())
            continue;  // ".", "..", the subfolder, the name left out
        expected += CodePage932(L"dcmdjpeg \"" + in.wstring() + L"\\" + known->second + L"\" \"" +
                                out.wstring() + L"\\" + known->second + L"\"") + "\r\n";
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
    EXPECT_EQ(ReadFileBytes(work / L"uncompress.bat"), expected);

    const std::string raw = ReadFileBytes(DicomFixtureFolder() / L"lossless.raw");
    for (const auto& [name, inBatch] : lossless) {
        SCOPED_TRACE(fs::path(name).string());
        std::string result = ReadFileBytes(out / name);
        EXPECT_TRUE(IsUncompressed(result));
        EXPECT_EQ(PixelData(result), raw);
    }
    for (const auto& [name, inBatch] : baseline)
        EXPECT_TRUE(IsUncompressed(ReadFileBytes(out / name))) << fs::path(name).string();
    EXPECT_FALSE(fs::exists(out / L"notdicom.txt"));
    EXPECT_FALSE(fs::exists(out / L"sub"));
    EXPECT_FALSE(fs::exists(out / L"inner.dcm"));
    EXPECT_FALSE(fs::exists(out / L"한글.dcm"));
    EXPECT_TRUE(parvane->Running());
    // The backslash given to the folders stays out of the fields.
    EXPECT_EQ(parvane->FieldText(IDC_EDIT_INPUT), in.wstring());
}

TEST_F(Conversion, MissingInputFolderIsReportedAndTheOutputFolderNotLookedAt)
{
    const fs::path out = work / L"out";
    Start((work / L"missing").wstring(), out.wstring());
    parvane->Click(IDC_BUTTON_CONVERT);
    MessageBoxView box = parvane->WaitForMessageBox();
    EXPECT_EQ(box.text, L"入力フォルダがないため、処理を続行できません");
    EXPECT_EQ(box.caption, L"入力フォルダがありません");
    EXPECT_TRUE(box.hasIcon);
    EXPECT_EQ(box.buttons, std::vector<int>{ IDOK });
    EXPECT_EQ(box.owner, parvane->MainWindow());
    parvane->Answer(box, IDOK);
    EXPECT_TRUE(parvane->NoMessageBoxWithin(1s));
    ExpectNothingWritten(out);
}

TEST_F(Conversion, MissingOutputFolderIsCreatedOnlyWhenTheUserSaysYes)
{
    const fs::path in = work / L"in";
    const fs::path out = work / L"新しい出力";
    AddFile(in, L"one.dcm", L"lossless.dcm");
    Start(in.wstring(), out.wstring());

    parvane->Click(IDC_BUTTON_CONVERT);
    MessageBoxView question = parvane->WaitForMessageBox();
    EXPECT_EQ(question.text, L"出力フォルダがありません。新規作成して処理を続行しますか？");
    EXPECT_EQ(question.caption, L"出力フォルダがありません");
    EXPECT_TRUE(question.hasIcon);
    EXPECT_EQ(question.buttons, (std::vector<int>{ IDYES, IDNO }));
    parvane->Answer(question, IDNO);
    EXPECT_TRUE(parvane->NoMessageBoxWithin(1s));
    ExpectNothingWritten(out);

    parvane->Click(IDC_BUTTON_CONVERT);
    question = parvane->WaitForMessageBox();
    ASSERT_NE(question.hwnd, nullptr);
    parvane->Answer(question, IDYES);
    ASSERT_TRUE(parvane->WaitUntilResponsive(kRunTimeout));
    EXPECT_TRUE(parvane->NoMessageBoxWithin(1s));
    EXPECT_TRUE(IsUncompressed(ReadFileBytes(out / L"one.dcm")));
}

TEST_F(Conversion, OnlyOneLevelOfOutputFolderIsCreated)
{
    const fs::path in = work / L"in";
    const fs::path out = work / L"missing" / L"out";
    AddFile(in, L"one.dcm", L"lossless.dcm");
    Start(in.wstring(), out.wstring());
    parvane->Click(IDC_BUTTON_CONVERT);
    MessageBoxView question = parvane->WaitForMessageBox();
    parvane->Answer(question, IDYES);
    MessageBoxView failure = parvane->WaitForMessageBox();
    EXPECT_EQ(failure.text, L"出力用フォルダを作成できませんでした。フォルダ名に不正な文字列が含まれている可能性があります。");
    EXPECT_EQ(failure.caption, L"出力フォルダを作成できません");
    EXPECT_TRUE(failure.hasIcon);
    EXPECT_EQ(failure.buttons, std::vector<int>{ IDOK });
    parvane->Answer(failure, IDOK);
    ExpectNothingWritten(work / L"missing");
}

TEST_F(Conversion, EmptyFieldsAreReportedWithoutTouchingAnything)
{
    const fs::path in = work / L"in";
    AddFile(in, L"one.dcm", L"lossless.dcm");
    struct Case { std::wstring input, output, text, caption; } const cases[] = {
        { L"", (work / L"out").wstring(), L"入力フォルダがないため、処理を続行できません", L"入力フォルダがありません" },
        { in.wstring(), L"", L"出力フォルダが指定されていないため、処理を続行できません", L"出力フォルダが指定されていません" },
    };
    Start(L"", L"");
    for (const Case& c : cases) {
        parvane->SetControlText(IDC_EDIT_INPUT, c.input);
        parvane->SetControlText(IDC_EDIT_OUTPUT, c.output);
        parvane->Click(IDC_BUTTON_CONVERT);
        MessageBoxView box = parvane->WaitForMessageBox();
        EXPECT_EQ(box.text, c.text);
        EXPECT_EQ(box.caption, c.caption);
        EXPECT_TRUE(box.hasIcon);
        EXPECT_EQ(box.buttons, std::vector<int>{ IDOK });
        parvane->Answer(box, IDOK);
        EXPECT_TRUE(parvane->NoMessageBoxWithin(1s));
    }
    ExpectNothingWritten(work / L"out");
}

TEST_F(Conversion, SameFolderInBothFieldsDecompressesInPlace)
{
    const fs::path folder = work / L"both";
    AddFile(folder, L"a.dcm", L"lossless.dcm");
    AddFile(folder, L"b.dcm", L"baseline.dcm");
    Start(folder.wstring(), folder.wstring() + L"\\");
    ASSERT_TRUE(parvane->ClickAndWait(IDC_BUTTON_CONVERT, kRunTimeout));
    EXPECT_TRUE(parvane->NoMessageBoxWithin(1s));
    EXPECT_EQ(PixelData(ReadFileBytes(folder / L"a.dcm")), ReadFileBytes(DicomFixtureFolder() / L"lossless.raw"));
    EXPECT_TRUE(IsUncompressed(ReadFileBytes(folder / L"b.dcm")));
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 2u);
}

TEST_F(Conversion, EmptyInputFolderGivesAnEmptyBatchFileAndNoMessage)
{
    const fs::path in = work / L"empty";
    fs::create_directories(in);
    WriteFileBytes(work / L"uncompress.bat", "dcmdjpeg \"old\" \"line\"\r\n");
    Start(in.wstring(), in.wstring());
    ASSERT_TRUE(parvane->ClickAndWait(IDC_BUTTON_CONVERT, kRunTimeout));
    EXPECT_TRUE(parvane->NoMessageBoxWithin(1s));
    EXPECT_TRUE(fs::exists(work / L"uncompress.bat"));
    EXPECT_EQ(ReadFileBytes(work / L"uncompress.bat"), "");
}

// Without dcmdjpeg.exe where the interpreter looks (a shortcut that starts
// Parvane in another folder, a quarantined program), one box names it and
// where it was looked for; no file is called damaged, and nothing is written.
TEST_F(Conversion, MissingDcmdjpegIsSaidInOneBoxBeforeAnythingIsWritten)
{
    fs::remove(work / L"dcmdjpeg.exe");
    const fs::path in = work / L"in";
    const fs::path out = work / L"out";
    AddFile(in, L"one.dcm", L"lossless.dcm");
    Start(in.wstring(), out.wstring());
    parvane->Click(IDC_BUTTON_CONVERT);
    MessageBoxView box = parvane->WaitForMessageBox(kRunTimeout);
    SaveScreenshot(box.hwnd, ArtifactFolder() / L"dcmdjpeg-missing.bmp");
    EXPECT_EQ(box.caption, L"dcmdjpeg.exe がありません");
    EXPECT_NE(box.text.find(L"dcmdjpeg.exe"), std::wstring::npos);
    EXPECT_NE(box.text.find(work.wstring()), std::wstring::npos) << "the working folder is named";
    EXPECT_EQ(box.text.find(L"one.dcm"), std::wstring::npos);
    parvane->Answer(box, IDOK);
    EXPECT_TRUE(parvane->NoMessageBoxWithin(1s));
    EXPECT_TRUE(parvane->WaitUntilResponsive(5s));
    ExpectNothingWritten(out);
}

TEST_F(Conversion, StartsTheBatchFileJustWrittenNotOneBesideTheExecutable)
{
    // A copy of the program in a folder of its own, beside a stray batch file.
    const fs::path programFolder = work / L"program";
    fs::create_directories(programFolder);
    fs::copy_file(ParvaneExe(), programFolder / L"Parvane.exe");
    WriteFileBytes(programFolder / L"uncompress.bat", "echo stray> stray.txt\r\n");
    const fs::path in = work / L"in";
    const fs::path out = work / L"out";
    AddFile(in, L"one.dcm", L"lossless.dcm");
    fs::create_directories(out);

    parvane = std::make_unique<ParvaneProcess>(work, fs::path(), std::wstring(), (programFolder / L"Parvane.exe").wstring());
    ASSERT_NE(parvane->WaitForMainWindow(), nullptr);
    parvane->SetControlText(IDC_EDIT_INPUT, in.wstring());
    parvane->SetControlText(IDC_EDIT_OUTPUT, out.wstring());
    ASSERT_TRUE(parvane->ClickAndWait(IDC_BUTTON_CONVERT, kRunTimeout));
    EXPECT_FALSE(fs::exists(work / L"stray.txt"));
    EXPECT_TRUE(IsUncompressed(ReadFileBytes(out / L"one.dcm")));
}

TEST_F(Conversion, BatchFileThatCannotBeStartedIsReportedOnce)
{
    const fs::path in = work / L"in";
    AddFile(in, L"one.dcm", L"lossless.dcm");
    // Parvane inherits this environment: no interpreter can be started.
    wchar_t saved[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"ComSpec", saved, MAX_PATH);
    ::SetEnvironmentVariableW(L"ComSpec", (work / L"no-such-interpreter.exe").c_str());
    Start(in.wstring(), in.wstring());
    ::SetEnvironmentVariableW(L"ComSpec", saved[0] ? saved : nullptr);

    parvane->Click(IDC_BUTTON_CONVERT);
    MessageBoxView box = parvane->WaitForMessageBox(kRunTimeout);
    EXPECT_EQ(box.text, L"failure to start ... uncompress.bat");
    EXPECT_EQ(box.caption, L"Parvane");
    EXPECT_FALSE(box.hasIcon);
    EXPECT_EQ(box.buttons, std::vector<int>{ IDOK });
    parvane->Answer(box, IDOK);
    EXPECT_TRUE(parvane->NoMessageBoxWithin(1s));
    EXPECT_FALSE(ReadFileBytes(work / L"uncompress.bat").empty()) << "the batch file stays on disk";
}

// A file that did not convert is given the reason its input shows; an input
// that is already uncompressed converts as before.
TEST_F(Conversion, FilesNotConvertedAreListedWithTheReasonTheirInputGives)
{
    const fs::path in = work / L"in";
    const fs::path out = work / L"out";
    AddFile(in, L"ok.dcm", L"lossless.dcm");
    AddFile(in, L"ls.dcm", L"jpegls.dcm");
    AddFile(in, L"run.dcm", L"rle.dcm");
    WriteFileBytes(in / L"notes.txt", "not a DICOM file\r\n");
    fs::create_directories(out);
    Start(in.wstring(), out.wstring());
    parvane->Click(IDC_BUTTON_CONVERT);
    MessageBoxView box = parvane->WaitForMessageBox(kRunTimeout);
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.caption, L"変換しなかったファイルがあります");
    struct Expected { const wchar_t* heading; const wchar_t* name; } const expected[] = {
        { L"DICOM ファイルではありません（1 件）:\n    notes.txt", L"notes.txt" },
        { L"JPEG-LS で圧縮されています。dcmdjpeg では展開できません（1 件）:\n    ls.dcm", L"ls.dcm" },
        { L"RLE で圧縮されています。dcmdjpeg では展開できません（1 件）:\n    run.dcm", L"run.dcm" },
    };
    for (const Expected& e : expected)
        EXPECT_NE(box.text.find(e.heading), std::wstring::npos) << fs::path(e.name).string() << "\n" << fs::path(box.text).string();
    EXPECT_NE(box.text.find(L"変換しなかったファイルが 3 件あります"), std::wstring::npos);
    SaveScreenshot(box.hwnd, ArtifactFolder() / L"input-reasons-box.bmp");
    parvane->Answer(box, IDOK);
    EXPECT_TRUE(parvane->WaitUntilResponsive(5s));

    // The whole output of an uncompressed input counts as converted.
    const fs::path again = work / L"again";
    fs::create_directories(again);
    fs::copy_file(out / L"ok.dcm", again / L"plain.dcm");
    const fs::path againOut = work / L"again-out";
    fs::create_directories(againOut);
    parvane->SetControlText(IDC_EDIT_INPUT, again.wstring());
    parvane->SetControlText(IDC_EDIT_OUTPUT, againOut.wstring());
    ASSERT_TRUE(parvane->ClickAndWait(IDC_BUTTON_CONVERT, kRunTimeout));
    EXPECT_TRUE(parvane->NoMessageBoxWithin(1s));
    EXPECT_EQ(PixelData(ReadFileBytes(againOut / L"plain.dcm")),
              ReadFileBytes(DicomFixtureFolder() / L"lossless.raw"));
}

}  // namespace
