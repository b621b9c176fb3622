// What may reach uncompress.bat: folder texts and file names that would break
// the line or name another file are refused, the interpreter is started
// without AutoRun or delayed expansion, and files that were not converted are
// reported. With the real dcmdjpeg.exe.
#include "CodePageBytes.h"
#include "DicomBytes.h"
#include "ConversionFixture.h"
#include "Driver.h"
#include "LinuxSide.h"
#include "resource.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>
#include <set>
#include <sstream>

using namespace e2e;
namespace fs = std::filesystem;

namespace {

constexpr Duration kRunTimeout = 180s;
const std::wstring kSkippedCaption = L"変換しなかったファイルがあります";

std::set<std::string> Lines(const std::string& bytes)
{
    std::set<std::string> lines;
    std::istringstream stream(bytes);
    for (std::string line; std::getline(stream, line);)
        lines.insert(line);
    return lines;
}

class UnsafeNames : public ConversionFixture {
protected:
    // Clicks the button and returns the one box that ends the run, answered.
    MessageBoxView ConvertExpectingBox(const fs::path& screenshot = {})
    {
        parvane->Click(IDC_BUTTON_CONVERT);
        MessageBoxView box = parvane->WaitForMessageBox(kRunTimeout);
        if (box.hwnd && !screenshot.empty())
            SaveScreenshot(box.hwnd, screenshot);
        if (box.hwnd)
            parvane->Answer(box, IDOK);
        EXPECT_TRUE(parvane->NoMessageBoxWithin(1s));
        return box;
    }

};

TEST_F(UnsafeNames, FolderTextThatWouldBreakTheLineIsRefusedBeforeAnythingIsTouched)
{
    const fs::path in = work / L"in";
    fs::create_directories(in);
    fs::copy_file(DicomFixtureFolder() / L"lossless.dcm", in / L"one.dcm");
    // Windows collapses "..", so this passes the folder test; its quote would
    // end the quoted path and run the echo once per file.
    const std::wstring payload = in.wstring() + L"\\x\" & echo hi> injected.txt & rem \"\\..";
    const fs::path out = work / L"out";
    struct Case { const char* what; std::wstring input, output; const wchar_t* caption; bool fromParamIni; } const cases[] = {
        { "input field", payload, out.wstring(), L"入力フォルダ名が正しくありません", false },
        { "output field", in.wstring(), out.wstring() + L"\\x\" & echo hi> injected.txt & rem \"", L"出力フォルダ名が正しくありません", false },
        { "tab in the input", in.wstring() + L"\t", out.wstring(), L"入力フォルダ名が正しくありません", false },
        { "input from param.ini", payload, out.wstring(), L"入力フォルダ名が正しくありません", true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.fromParamIni) {
            WriteFileBytes(work / L"param.ini", "[INPUT]" + Ascii(c.input) + "\r\n[OUTPUT]" + Ascii(c.output) + "\r\n");
            parvane = std::make_unique<ParvaneProcess>(work);
            ASSERT_NE(parvane->WaitForMainWindow(), nullptr);
            EXPECT_EQ(parvane->FieldText(IDC_EDIT_INPUT), c.input);
        } else {
            Start(c.input, c.output);
        }
        MessageBoxView box = ConvertExpectingBox();
        EXPECT_EQ(box.caption, c.caption);
        EXPECT_NE(box.text.find(L"使用できない文字"), std::wstring::npos);
        EXPECT_TRUE(box.hasIcon);
        EXPECT_EQ(box.buttons, std::vector<int>{ IDOK });
        EXPECT_FALSE(fs::exists(work / L"uncompress.bat"));
        EXPECT_FALSE(fs::exists(out));
        EXPECT_FALSE(fs::exists(work / L"injected.txt"));
        EXPECT_FALSE(fs::exists(in / L"injected.txt"));
    }
}

TEST_F(UnsafeNames, FileNamesWindowsCouldNotMakeOrWouldOpenAsAnotherFileAreLeftOutAndListed)
{
    const fs::path in = DicomFixtureFolder() / L"awkward";
    const fs::path out = work / L"out";
    fs::create_directories(out);
    Start(in.wstring(), out.wstring());
    MessageBoxView box = ConvertExpectingBox(ArtifactFolder() / L"skipped-files-box.bmp");
    EXPECT_EQ(box.caption, kSkippedCaption);
    EXPECT_NE(box.text.find(L"変換しなかったファイルが 12 件あります"), std::wstring::npos) << box.text.size();
    EXPECT_TRUE(box.hasIcon);

    // Every safe name has its line, and only those.
    const std::vector<std::wstring> safe = { L"ok.dcm", L"x^y.dcm", L"a&b.dcm", L"bang!.dcm", L"50%.dcm",
                                             L"(paren).dcm", L"sp.dcm", L"dot.dcm" };
    std::set<std::string> expected;
    for (std::wstring name : safe) {
        if (name == L"50%.dcm")
            name = L"50%%.dcm";
        expected.insert("dcmdjpeg \"" + Ascii(in.wstring()) + "\\" + Ascii(name) + "\" \"" + Ascii(out.wstring()) +
                        "\\" + Ascii(name) + "\"\r");
    }
    EXPECT_EQ(Lines(ReadFileBytes(work / L"uncompress.bat")), expected);

    // Each safe file converted from itself: the look-alikes hold another image.
    for (const std::wstring& name : safe)
        EXPECT_TRUE(IsUncompressed(ReadFileBytes(out / name))) << Ascii(name);
    const std::string baselineOut = ReadFileBytes(out / L"sp.dcm");
    EXPECT_EQ(baselineOut.size(), ReadFileBytes(out / L"dot.dcm").size());
    EXPECT_NE(baselineOut.size(), ReadFileBytes(out / L"ok.dcm").size());
    size_t written = std::distance(fs::directory_iterator(out), fs::directory_iterator());
    EXPECT_EQ(written, safe.size());
    EXPECT_FALSE(fs::exists(work / L"injected.txt"));
    EXPECT_FALSE(fs::exists(in / L"injected.txt"));
}

TEST_F(UnsafeNames, InterpreterIsStartedWithoutAutoRunOrDelayedExpansion)
{
    const fs::path in = work / L"in";
    const fs::path out = work / L"out";
    fs::create_directories(in);
    fs::create_directories(out);
    fs::copy_file(DicomFixtureFolder() / L"lossless.dcm", in / L"bang!.dcm");
    ScopedEnvironment comSpec(L"ComSpec", StandInInterpreterExe());
    ScopedEnvironment log(L"PARVANE_STANDIN_LOG", (work / L"interpreter.log").wstring());
    ScopedEnvironment run(L"PARVANE_STANDIN_RUN_CMD", L"1");
    Start(in.wstring(), out.wstring());
    ASSERT_TRUE(parvane->ClickAndWait(IDC_BUTTON_CONVERT, kRunTimeout));
    EXPECT_TRUE(parvane->NoMessageBoxWithin(1s));

    std::istringstream logLines(ReadFileBytes(work / L"interpreter.log"));
    std::string commandLine;
    std::getline(logLines, commandLine);
    EXPECT_EQ(commandLine, "cmd.exe /d /v:off /s /c \"\"" + Ascii(work.wstring()) + "\\uncompress.bat\"\"");
    EXPECT_TRUE(IsUncompressed(ReadFileBytes(out / L"bang!.dcm")));
}

TEST_F(UnsafeNames, WorkingFolderWithPercentSignsStillRunsItsOwnBatchFile)
{
    // The interpreter would expand %TEMP% in a full path on its command line.
    const fs::path folder = work / L"a%TEMP%b";
    fs::create_directories(folder);
    fs::copy_file(DcmdjpegExe(), folder / L"dcmdjpeg.exe");
    WriteFileBytes(folder / L"param.ini", "[INPUT]\r\n[OUTPUT]\r\n");
    const fs::path in = work / L"in";
    fs::create_directories(in);
    fs::copy_file(DicomFixtureFolder() / L"lossless.dcm", in / L"one.dcm");
    parvane = std::make_unique<ParvaneProcess>(folder);
    ASSERT_NE(parvane->WaitForMainWindow(), nullptr);
    parvane->SetControlText(IDC_EDIT_INPUT, in.wstring());
    parvane->SetControlText(IDC_EDIT_OUTPUT, (work / L"out").wstring());
    parvane->Click(IDC_BUTTON_CONVERT);
    MessageBoxView question = parvane->WaitForMessageBox();
    parvane->Answer(question, IDYES);
    ASSERT_TRUE(parvane->WaitUntilResponsive(kRunTimeout));
    EXPECT_TRUE(parvane->NoMessageBoxWithin(1s));
    EXPECT_TRUE(IsUncompressed(ReadFileBytes(work / L"out" / L"one.dcm")));
}

TEST_F(UnsafeNames, FilesDcmdjpegDidNotConvertAreReportedEvenWhenBothFieldsNameOneFolder)
{
    const fs::path folder = work / L"both";
    fs::create_directories(folder);
    fs::copy_file(DicomFixtureFolder() / L"lossless.dcm", folder / L"good.dcm");
    for (int i = 1; i <= 12; ++i)
        WriteFileBytes(folder / (L"bad" + std::to_wstring(i) + L".txt"), "not a DICOM file\r\n");
    // In place, a file dcmdjpeg fails on keeps its own write time: let that
    // fall outside the 2 seconds allowed for FAT disks.
    ::Sleep(2500);

    Start(folder.wstring(), folder.wstring());
    MessageBoxView box = ConvertExpectingBox();
    EXPECT_EQ(box.caption, kSkippedCaption);
    EXPECT_NE(box.text.find(L"変換しなかったファイルが 12 件あります"), std::wstring::npos);
    EXPECT_NE(box.text.find(L"（12 件）"), std::wstring::npos);
    EXPECT_NE(box.text.find(L"ほか 2 件"), std::wstring::npos);
    EXPECT_EQ(box.text.find(L"good.dcm"), std::wstring::npos);
    EXPECT_TRUE(IsUncompressed(ReadFileBytes(folder / L"good.dcm")));
}

}  // namespace

// A case-sensitive share (Samba, a WSL folder) can hold names that differ
// only in case; on Windows both lines would write one output. In each pair
// one file converts and one does not (JPEG-LS), in both orders: whichever
// comes second in the listing is left out with its own reason, and the first
// is converted with its own pixels or listed with its own reason, so that no
// verdict rests on the other file's output.
TEST_F(UnsafeNames, NamesThatDifferOnlyInCaseNeverShareAnOutput)
{
    const fs::path in = work / L"in", out = work / L"out";
    fs::create_directories(in);
    fs::create_directories(out);
    const std::string fixtures = UnixPath(DicomFixtureFolder()), folder = UnixPath(in);
    const std::optional<std::string> made = RunLinuxScript(
        "cp '" + fixtures + "/lossless.dcm' '" + folder + "/PAIR1.dcm' && cp '" + fixtures + "/jpegls.dcm' '" +
        folder + "/pair1.dcm' && cp '" + fixtures + "/jpegls.dcm' '" + folder + "/PAIR2.dcm' && cp '" + fixtures +
        "/lossless.dcm' '" + folder + "/pair2.dcm' && echo MADE");
    ASSERT_TRUE(made && made->find("MADE") != std::string::npos);
    std::vector<std::wstring> listed;  // the platform's order
    for (const auto& entry : fs::directory_iterator(in))
        listed.push_back(entry.path().filename().wstring());
    ASSERT_EQ(listed.size(), 4u) << "Wine shows both names of each pair";

    Start(in.wstring(), out.wstring());
    const MessageBoxView box = ConvertExpectingBox(ArtifactFolder() / L"case-pairs-box.bmp");
    const std::wstring heading = L"大文字と小文字だけが違う名前のファイルが先にあります";
    const size_t group = box.text.find(heading);
    ASSERT_NE(group, std::wstring::npos) << fs::path(box.text).string();
    const std::wstring sameName = box.text.substr(group, box.text.find(L"\n\n", group) - group);
    EXPECT_NE(sameName.find(L"（2 件）"), std::wstring::npos);
    for (const wchar_t* pair : { L"pair1.dcm", L"pair2.dcm" }) {
        std::vector<std::wstring> names;
        for (const std::wstring& name : listed) {
            if (_wcsicmp(name.c_str(), pair) == 0)
                names.push_back(name);
        }
        ASSERT_EQ(names.size(), 2u);
        const std::wstring& first = names[0];
        EXPECT_NE(sameName.find(L"    " + names[1]), std::wstring::npos) << "the second is left out";
        EXPECT_EQ(sameName.find(L"    " + first + L"\n"), std::wstring::npos);
        const bool lossless = first == L"PAIR1.dcm" || first == L"pair2.dcm";
        if (lossless)
            EXPECT_EQ(PixelData(ReadFileBytes(out / first)), ReadFileBytes(DicomFixtureFolder() / L"lossless.raw"));
        else
            EXPECT_NE(box.text.find(L"JPEG-LS で圧縮されています"), std::wstring::npos);
    }
}
