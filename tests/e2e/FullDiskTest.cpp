// Full disks, with the real dcmdjpeg.exe: outputs cut short by a disk that
// fills during the run are reported, and a disk too small from the start
// stops the run before anything is written. Each output here (768 KiB of
// pixels) is eight times its input.
#include "DicomBytes.h"
#include "ConversionFixture.h"
#include "Driver.h"
#include "resource.h"
#include <gtest/gtest.h>
#include <memory>
#include <set>

using namespace e2e;
namespace fs = std::filesystem;

namespace {

constexpr Duration kRunTimeout = 180s;
constexpr int kFiles = 12;  // enough that the disk fills while most are still to come
const wchar_t kIncomplete[] = L"変換の途中で出力ファイルが途切れました（ディスクの空き容量不足など）。出力ファイルは使えません";
const wchar_t kOverwritten[] = L"入力フォルダと出力フォルダが同じため、元のファイルはこの途切れたファイルで上書きされています";

std::wstring FileName(int i) { return L"image" + std::to_wstring(i) + L".dcm"; }

class FullDisk : public ConversionFixture {
protected:
    fs::path Disk(const wchar_t* name) { return EmptiedSmallDisk(name); }

    void SetUp() override
    {
        ConversionFixture::SetUp();
        largeRaw = ReadFileBytes(DicomFixtureFolder() / L"large.raw");
    }

    void AddInputs(const fs::path& folder)
    {
        fs::create_directories(folder);
        for (int i = 1; i <= kFiles; ++i)
            fs::copy_file(DicomFixtureFolder() / L"large.dcm", folder / FileName(i));
    }

    bool Converted(const fs::path& output) const
    {
        return fs::exists(output) && PixelData(ReadFileBytes(output)) == largeRaw;
    }

    int CountConverted(const fs::path& folder) const
    {
        int count = 0;
        for (int i = 1; i <= kFiles; ++i)
            count += Converted(folder / FileName(i));
        return count;
    }

    // Another program fills the disk once two outputs are whole.
    void FillDiskAfterTwoOutputs(const fs::path& disk, const fs::path& output)
    {
        ASSERT_TRUE(WaitFor([&] { return CountConverted(output) >= 2; }, kRunTimeout));
        HANDLE filler = ::CreateFileW((disk / L"filler.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(filler, INVALID_HANDLE_VALUE);
        for (DWORD chunk : { 1u << 20, 1u << 16, 1u << 12, 1u << 9 }) {
            std::string zeros(chunk, '\0');
            DWORD written = 0;
            while (::WriteFile(filler, zeros.data(), chunk, &written, nullptr) && written == chunk)
                ::FlushFileBuffers(filler);
        }
        ::CloseHandle(filler);
    }

    // The box after the run lists exactly the files whose outputs are not
    // whole, under the given heading; the whole ones are not listed.
    void ExpectCutOutputsListed(const fs::path& output, const wchar_t* heading)
    {
        MessageBoxView box = parvane->WaitForMessageBox(kRunTimeout);
        ASSERT_NE(box.hwnd, nullptr) << "cut-short outputs must be reported";
        EXPECT_EQ(box.caption, L"変換しなかったファイルがあります");
        EXPECT_NE(box.text.find(heading), std::wstring::npos) << fs::path(box.text).string();
        int cut = 0;
        for (int i = 1; i <= kFiles; ++i) {
            const bool whole = Converted(output / FileName(i));
            cut += !whole;
            EXPECT_EQ(box.text.find(FileName(i)) == std::wstring::npos, whole) << fs::path(FileName(i)).string();
        }
        EXPECT_GE(cut, 1) << "the disk was filled too late to cut any output";
        EXPECT_GE(kFiles - cut, 2);
        EXPECT_NE(box.text.find(L"変換しなかったファイルが " + std::to_wstring(cut) + L" 件"), std::wstring::npos);
        SaveScreenshot(box.hwnd, ArtifactFolder() / L"full-disk-box.bmp");
        parvane->Answer(box, IDOK);
    }

    // The box before the run, with both sizes; nothing is started.
    void ExpectRoomRefused()
    {
        MessageBoxView box = parvane->WaitForMessageBox(kRunTimeout);
        ASSERT_NE(box.hwnd, nullptr);
        EXPECT_EQ(box.caption, L"空き容量が足りません");
        EXPECT_NE(box.text.find(L"必要な空き容量: "), std::wstring::npos);
        EXPECT_NE(box.text.find(L"現在の空き容量: "), std::wstring::npos);
        EXPECT_TRUE(box.hasIcon);
        SaveScreenshot(box.hwnd, ArtifactFolder() / L"disk-space-box.bmp");
        parvane->Answer(box, IDOK);
        EXPECT_TRUE(parvane->WaitUntilResponsive());
        EXPECT_FALSE(fs::exists(work / L"uncompress.bat"));
    }

    std::string largeRaw;
};

TEST_F(FullDisk, OutputsCutShortByADiskFilledDuringTheRunAreListed)
{
    const fs::path disk = Disk(L"during");
    if (disk.empty())
        GTEST_SKIP() << "no small disk could be mounted";
    const fs::path in = work / L"in", out = disk / L"out";
    AddInputs(in);
    fs::create_directories(out);
    Start(in, out);
    parvane->Click(IDC_BUTTON_CONVERT);
    FillDiskAfterTwoOutputs(disk, out);
    ExpectCutOutputsListed(out, kIncomplete);
}

TEST_F(FullDisk, OriginalsOverwrittenByCutShortOutputsAreListedAsLost)
{
    const fs::path disk = Disk(L"during");
    if (disk.empty())
        GTEST_SKIP() << "no small disk could be mounted";
    const fs::path folder = disk / L"images";
    AddInputs(folder);
    Start(folder, folder);
    parvane->Click(IDC_BUTTON_CONVERT);
    FillDiskAfterTwoOutputs(disk, folder);
    ExpectCutOutputsListed(folder, kOverwritten);
}

TEST_F(FullDisk, ADiskTooSmallFromTheStartStopsTheRunBeforeAnythingIsWritten)
{
    const fs::path disk = Disk(L"small");
    if (disk.empty())
        GTEST_SKIP() << "no small disk could be mounted";
    const fs::path in = work / L"in", out = disk / L"new output";
    AddInputs(in);
    Start(in, out);
    parvane->Click(IDC_BUTTON_CONVERT);
    MessageBoxView create = parvane->WaitForMessageBox();
    ASSERT_EQ(create.caption, L"出力フォルダがありません");
    parvane->Answer(create, IDYES);
    ExpectRoomRefused();
    EXPECT_FALSE(fs::exists(out)) << "the output folder is created only when the outputs fit";
}

TEST_F(FullDisk, ADiskTooSmallForOutputsReplacingTheirOriginalsKeepsEveryOriginal)
{
    const fs::path disk = Disk(L"small");
    if (disk.empty())
        GTEST_SKIP() << "no small disk could be mounted";
    const fs::path folder = disk / L"images";
    AddInputs(folder);  // 12 x 97 KiB: the outputs would add 12 x 670 KiB
    Start(folder, folder);
    parvane->Click(IDC_BUTTON_CONVERT);
    ExpectRoomRefused();
    const std::string original = ReadFileBytes(DicomFixtureFolder() / L"large.dcm");
    for (int i = 1; i <= kFiles; ++i)
        EXPECT_EQ(ReadFileBytes(folder / FileName(i)), original);
}

}  // namespace
