// A run whose Parvane is ended together with everything the run started, as a
// forced log-off ends them: the next Parvane started in that working folder
// tells that the run did not finish and what it left, once, from the journal
// the run left and the outputs as they are. With the real dcmdjpeg.exe; the
// run's processes are ended by the driver, or by killing the Wine server of a
// prefix of the run's own.
#include "ConversionFixture.h"
#include "DicomBytes.h"
#include "Driver.h"
#include "LinuxSide.h"
#include "resource.h"
#include <gtest/gtest.h>
#include <regex>

using namespace e2e;
namespace fs = std::filesystem;

namespace {

const std::wstring kUnfinishedCaption = L"前回の一括変換が終わっていません";

class UnfinishedRun : public ConversionFixture {};

// The count the box gives after the text, -1 when the text is not there.
long CountAfter(const std::wstring& box, const std::wstring& text)
{
    const size_t at = box.find(text);
    return at == std::wstring::npos ? -1 : std::wcstol(box.c_str() + at + text.size(), nullptr, 10);
}

size_t FilesIn(const fs::path& folder)
{
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

size_t WholeOutputs(const fs::path& folder)
{
    size_t whole = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        whole += IsUncompressed(ReadFileBytes(entry.path())) ? 1 : 0;
    return whole;
}

constexpr int kFiles = 400;

void MakeInputs(const fs::path& in)
{
    for (int i = 0; i < kFiles; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"image%03d.dcm", i);
        fs::copy_file(DicomFixtureFolder() / L"lossless.dcm", in / name);
    }
}

// The box's counts: every whole output counts as converted; the file cut
// mid-write, if any, is listed under cutHeading; the rest as never reached.
void ExpectWhatWasLeft(const std::wstring& box, size_t whole, const std::wstring& cutHeading)
{
    const std::string shown = fs::path(box).string();
    const long converted = CountAfter(box, L"変換できたファイル: ");
    const long cutShort = std::max(0L, CountAfter(box, cutHeading + L"（"));
    const long notReached = CountAfter(box, L"中止したため変換していません（");
    EXPECT_EQ(converted, static_cast<long>(whole)) << shown;
    EXPECT_LE(cutShort, 1) << shown;
    EXPECT_GT(notReached, 0) << shown;
    EXPECT_EQ(converted + cutShort + notReached, kFiles) << shown;
}

TEST_F(UnfinishedRun, TheNextStartTellsWhatARunCutOffLeft)
{
    const fs::path in = work / L"in";
    const fs::path out = work / L"out";
    fs::create_directories(in);
    fs::create_directories(out);
    MakeInputs(in);
    Start(in.wstring(), out.wstring());
    parvane->Click(IDC_BUTTON_CONVERT);
    ASSERT_TRUE(WaitFor([&] { return FilesIn(out) >= 50; }, 300s)) << "the run is under way";
    parvane->EndWithEverythingItStarted();
    const size_t whole = WholeOutputs(out);
    ASSERT_LT(whole, static_cast<size_t>(kFiles)) << "the run was cut off";
    const std::string batch = ReadFileBytes(work / L"uncompress.bat");

    parvane = std::make_unique<ParvaneProcess>(work);
    ASSERT_NE(parvane->WaitForMainWindow(), nullptr);
    const MessageBoxView box = parvane->WaitForMessageBox(120s);
    ASSERT_NE(box.hwnd, nullptr);
    SaveScreenshot(box.hwnd, ArtifactFolder() / L"unfinished-run.bmp");
    const std::string shown = fs::path(box.text).string();
    EXPECT_EQ(box.caption, kUnfinishedCaption);
    EXPECT_EQ(box.text.rfind(L"前回の一括変換は、最後まで終わる前に中断されました", 0), 0u) << shown;
    EXPECT_NE(box.text.find(L"入力フォルダ: " + in.wstring() + L"\\\n"), std::wstring::npos) << shown;
    EXPECT_NE(box.text.find(L"出力フォルダ: " + out.wstring() + L"\\\n"), std::wstring::npos) << shown;
    ExpectWhatWasLeft(box.text, whole, L"出力ファイルは使えません");
    EXPECT_EQ(box.text.find(L"dcmdjpeg が出力ファイルを書きませんでした"), std::wstring::npos) << shown;
    parvane->Answer(box, IDOK);
    ASSERT_TRUE(parvane->WaitUntilResponsive(60s));
    EXPECT_EQ(ReadFileBytes(work / L"uncompress.bat"), batch) << "the check changes nothing";

    // Told once: the next start has nothing to tell.
    parvane = std::make_unique<ParvaneProcess>(work);
    ASSERT_NE(parvane->WaitForMainWindow(), nullptr);
    EXPECT_TRUE(parvane->NoMessageBoxWithin(3s));
}

// The driver's own path, and the Linux commands that start it in another
// prefix and kill that prefix's Wine server.
std::filesystem::path DriverExe()
{
    wchar_t path[MAX_PATH];
    return std::wstring(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
}

constexpr bool kSixtyFourBit = sizeof(void*) == 8;

// Run inside a prefix of its own by the test below: starts Parvane in the
// working folder it is given, clicks, and waits to be ended with everything
// else of that prefix.
TEST(UnfinishedRunInItsOwnPrefix, DISABLED_ClicksAndWaitsToBeEnded)
{
    const wchar_t* work = _wgetenv(L"PARVANE_CUT_RUN_WORK");
    const wchar_t* folder = _wgetenv(L"PARVANE_CUT_RUN_FOLDER");
    ASSERT_TRUE(work && folder);
    ParvaneProcess parvane(work);
    ASSERT_NE(parvane.WaitForMainWindow(), nullptr);
    parvane.SetControlText(IDC_EDIT_INPUT, folder);
    parvane.SetControlText(IDC_EDIT_OUTPUT, folder);
    parvane.Click(IDC_BUTTON_CONVERT);
    parvane.WaitForExit(std::chrono::minutes(10));
}

// In place, as a forced log-off or a power cut leaves it: the Wine server of
// the run's prefix is killed once 50 files are converted, which ends every
// process of that prefix at once.
TEST_F(UnfinishedRun, InPlaceTheNextStartTellsWhatARunWhoseWineServerWasKilledLeft)
{
    const fs::path in = work / L"in";
    fs::create_directories(in);
    MakeInputs(in);
    const std::string prefix = UnixPath(work / L"prefix");
    const std::string loader = kSixtyFourBit ? "WINELOADER=/usr/lib/wine/wine64 /usr/lib/wine/wine64" : "/usr/bin/wine";
    const std::optional<std::string> printed = RunLinuxScript(
        "set -u\n"
        "cp -a \"$WINEPREFIX\" '" + prefix + "' || { rm -rf '" + prefix + "'; echo NO-ROOM; exit 0; }\n"
        "touch '" + prefix + ".start'\n"
        "PARVANE_CUT_RUN_WORK='" + work.string() + "' PARVANE_CUT_RUN_FOLDER='" + in.string() + "' WINEPREFIX='" +
            prefix + "' " + loader + " '" + UnixPath(DriverExe()) + "' --gtest_also_run_disabled_tests "
            "--gtest_filter=UnfinishedRunInItsOwnPrefix.DISABLED_ClicksAndWaitsToBeEnded >/dev/null 2>&1 &\n"
        "for i in $(seq 1200); do\n"
        "  [ \"$(find '" + UnixPath(in) + "' -type f -newer '" + prefix + ".start' | wc -l)\" -ge 50 ] && break\n"
        "  sleep 0.25\n"
        "done\n"
        "WINEPREFIX='" + prefix + "' /usr/bin/wineserver -k\n"
        "WINEPREFIX='" + prefix + "' /usr/bin/wineserver -w\n"
        "rm -rf '" + prefix + "' '" + prefix + ".start'\n"
        "echo KILLED\n",
        300s);
    if (printed && printed->find("NO-ROOM") != std::string::npos)
        GTEST_SKIP() << "no room on the disk for a copy of the Wine prefix: " << *printed;
    ASSERT_TRUE(printed && printed->find("KILLED") != std::string::npos) << (printed ? *printed : "no end");
    ASSERT_TRUE(fs::exists(work / L"uncompress.journal"));
    const size_t whole = WholeOutputs(in);
    ASSERT_GE(whole, 50u);
    ASSERT_LT(whole, static_cast<size_t>(kFiles)) << "the run was cut off";

    parvane = std::make_unique<ParvaneProcess>(work);
    ASSERT_NE(parvane->WaitForMainWindow(), nullptr);
    const MessageBoxView box = parvane->WaitForMessageBox(120s);
    ASSERT_NE(box.hwnd, nullptr);
    SaveScreenshot(box.hwnd, ArtifactFolder() / L"unfinished-run-in-place.bmp");
    const std::string shown = fs::path(box.text).string();
    EXPECT_EQ(box.caption, kUnfinishedCaption);
    EXPECT_NE(box.text.find(L"出力フォルダ: " + in.wstring() + L"\\\n"), std::wstring::npos) << shown;
    // The file whose dcmdjpeg was cut mid-write, if any, lost its original.
    ExpectWhatWasLeft(box.text, whole, L"元のファイルを別の場所から戻してください");
    parvane->Answer(box, IDOK);
    ASSERT_TRUE(parvane->WaitUntilResponsive(60s));
    EXPECT_FALSE(fs::exists(work / L"uncompress.journal"));
}

}  // namespace
