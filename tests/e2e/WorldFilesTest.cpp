// The report after a run on files and systems this project did not make, with
// the real dcmdjpeg.exe: files of scanners and other toolkits (reports, RT
// plans, waveforms without pixel data; data sets without a meta group; float
// pixel data; private sequences) convert without a false alarm, and outputs on
// a file server whose clock is off are judged by what the run wrote.
#include "DicomBytes.h"
#include "ConversionFixture.h"
#include "Driver.h"
#include "resource.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using namespace e2e;
namespace fs = std::filesystem;

namespace {

constexpr Duration kRunTimeout = 120s;
const std::wstring kSkippedCaption = L"変換しなかったファイルがあります";

class WorldFiles : public ConversionFixture {
protected:
    // Converts and expects the run to end without a box; a box that came
    // instead is shown in the failure.
    void ConvertExpectingNoBox()
    {
        if (parvane->ClickAndWait(IDC_BUTTON_CONVERT, kRunTimeout)) {
            EXPECT_TRUE(parvane->NoMessageBoxWithin(1s));
            return;
        }
        const MessageBoxView box = parvane->WaitForMessageBox(1s);
        ADD_FAILURE() << "a box after the run: " << fs::path(box.text).string();
        SaveScreenshot(box.hwnd, ArtifactFolder() / L"world-files-false-alarm.bmp");
        parvane->Answer(box, IDOK);
    }

};

// A mounted share whose clock is off, its folder out/ emptied; null where
// none could be mounted.
fs::path ShareFolder(const wchar_t* share)
{
    const fs::path mounted = ClockSharesFolder() / share;
    if (!fs::exists(mounted / L"mounted"))
        return {};
    const fs::path out = mounted / L"out";
    fs::remove_all(out);
    fs::create_directories(out);
    return out;
}

}  // namespace

TEST_F(WorldFiles, FilesOfOtherToolkitsConvertWithoutAFalseAlarm)
{
    const fs::path world = DicomFixtureFolder() / L"world";
    const fs::path in = work / L"in";
    fs::create_directories(in);
    for (const auto& entry : fs::directory_iterator(world))
        fs::copy_file(entry.path(), in / entry.path().filename());
    fs::copy_file(DicomFixtureFolder() / L"lossless.dcm", in / L"lossless.dcm");

    // Into another folder, then in place: the outputs without pixel data
    // replace inputs that had none either.
    const fs::path out = work / L"out";
    fs::create_directories(out);
    Start(in.wstring(), out.wstring());
    ConvertExpectingNoBox();
    for (const auto& entry : fs::directory_iterator(in)) {
        const std::string output = ReadFileBytes(out / entry.path().filename());
        EXPECT_TRUE(IsUncompressed(output)) << entry.path().filename().string();
        EXPECT_EQ(output.substr(128, 4), "DICM") << entry.path().filename().string() << " gets a meta group";
    }

    parvane->SetControlText(IDC_EDIT_OUTPUT, in.wstring());
    ConvertExpectingNoBox();
    EXPECT_EQ(PixelData(ReadFileBytes(in / L"lossless.dcm")), ReadFileBytes(DicomFixtureFolder() / L"lossless.raw"));
    EXPECT_EQ(ReadFileBytes(in / L"sr.dcm").substr(128, 4), "DICM");
}

// The server stamps files 10 minutes ahead of, or behind, this computer's
// clock. The output folder holds outputs of an earlier run for some of the
// files, among them all three that fail now. Only those three are listed,
// each with the reason its input gives.
TEST_F(WorldFiles, OutputsOnAServerWhoseClockIsOffAreJudgedByWhatTheRunWrote)
{
    const fs::path in = work / L"in";
    fs::create_directories(in);
    const std::vector<std::wstring> good = { L"good1.dcm", L"good2.dcm", L"good3.dcm", L"good4.dcm" };
    for (const std::wstring& name : good)
        fs::copy_file(DicomFixtureFolder() / L"lossless.dcm", in / name);
    fs::copy_file(DicomFixtureFolder() / L"jpegls.dcm", in / L"fails-jpegls.dcm");
    fs::copy_file(DicomFixtureFolder() / L"rle.dcm", in / L"fails-rle.dcm");
    WriteFileBytes(in / L"fails-text.dcm", "not a DICOM file\r\n");
    const std::vector<std::wstring> failing = { L"fails-jpegls.dcm", L"fails-rle.dcm", L"fails-text.dcm" };
    const std::string earlierOutput = ReadFileBytes(DicomFixtureFolder() / L"plain.dcm");
    const std::string pixels = ReadFileBytes(DicomFixtureFolder() / L"lossless.raw");

    for (const wchar_t* share : { L"ahead", L"behind" }) {
        SCOPED_TRACE(fs::path(share).string());
        const fs::path out = ShareFolder(share);
        if (out.empty())
            GTEST_SKIP() << "no share with a clock off could be mounted (needs root and FUSE)";
        for (const std::wstring& name : { good[0], good[1], failing[0], failing[1], failing[2] })
            WriteFileBytes(out / name, earlierOutput);

        Start(in.wstring(), L"\\\\parvane-server\\" + std::wstring(share) + L"\\out");
        parvane->Click(IDC_BUTTON_CONVERT);
        MessageBoxView box = parvane->WaitForMessageBox(kRunTimeout);
        ASSERT_NE(box.hwnd, nullptr) << "the inputs that fail now must be listed";
        EXPECT_EQ(box.caption, kSkippedCaption);
        EXPECT_NE(box.text.find(L"変換しなかったファイルが 3 件"), std::wstring::npos) << fs::path(box.text).string();
        for (const wchar_t* reason : { L"JPEG-LS で圧縮されています", L"RLE で圧縮されています", L"DICOM ファイルではありません" })
            EXPECT_NE(box.text.find(reason), std::wstring::npos) << fs::path(reason).string() << "\n" << fs::path(box.text).string();
        for (const std::wstring& name : good) {
            EXPECT_EQ(box.text.find(name), std::wstring::npos) << fs::path(name).string();
            EXPECT_EQ(PixelData(ReadFileBytes(out / name)), pixels) << fs::path(name).string();
        }
        SaveScreenshot(box.hwnd, ArtifactFolder() / (L"clock-" + std::wstring(share) + L"-box.bmp"));
        parvane->Answer(box, IDOK);
        EXPECT_TRUE(parvane->WaitUntilResponsive(5s));
        parvane.reset();
    }
}

// A share behind a slow link, whose every look-up of a file takes 2 s: the
// file work of the run goes on in threads of their own, so the dialog answers
// throughout, and every file converts.
TEST_F(WorldFiles, OutputsOnAShareWhoseLookUpsStallConvertWhileTheDialogAnswers)
{
    const fs::path in = work / L"in";
    fs::create_directories(in);
    const std::vector<std::wstring> names = { L"one.dcm", L"two.dcm" };
    for (const std::wstring& name : names)
        fs::copy_file(DicomFixtureFolder() / L"lossless.dcm", in / name);
    const fs::path out = ShareFolder(L"slow");
    if (out.empty())
        GTEST_SKIP() << "no slow share could be mounted (needs root and FUSE)";

    Start(in.wstring(), L"\\\\parvane-server\\slow\\out");
    const HWND dialog = parvane->MainWindow();
    std::atomic<bool> ended{ false };
    double longest = 0, longestAt = 0;
    const auto clicked = std::chrono::steady_clock::now();
    auto since = [](std::chrono::steady_clock::time_point t) {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
    };
    std::thread probe([&] {
        while (!ended) {
            const auto sent = std::chrono::steady_clock::now();
            DWORD_PTR result = 0;
            ::SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &result);
            if (since(sent) > longest) {
                longest = since(sent);
                longestAt = since(clicked);
            }
            ::Sleep(100);
        }
    });
    const bool handled = parvane->ClickAndWait(IDC_BUTTON_CONVERT, 240s);
    const double whole = since(clicked);
    ended = true;
    probe.join();
    EXPECT_TRUE(handled) << "the run ends without a box";
    EXPECT_LE(longest, 2.0) << "the longest the dialog took to answer, in seconds, ended " << longestAt
                            << " s after the click; the click took " << whole << " s";
    for (const std::wstring& name : names)
        EXPECT_EQ(PixelData(ReadFileBytes(out / name)), ReadFileBytes(DicomFixtureFolder() / L"lossless.raw"))
            << fs::path(name).string();
    if (!handled) {
        const MessageBoxView box = parvane->WaitForMessageBox(1s);
        ADD_FAILURE() << fs::path(box.text).string();
        parvane->Answer(box, IDOK);
    }
}
