// The room check before a run, converting in place with the real
// dcmdjpeg.exe on small disks: inputs whose headers dcmdjpeg reads although
// they are off the standard, a USB drive's large clusters, and a folder whose
// free space cannot be asked. Nothing is lost: either a box comes before the
// run, or every original is kept.
#include "DicomBytes.h"
#include "ConversionFixture.h"
#include "Driver.h"
#include "resource.h"
#include <gtest/gtest.h>
#include <memory>

using namespace e2e;
namespace fs = std::filesystem;

namespace {

constexpr Duration kRunTimeout = 180s;
const wchar_t kRoomShortCaption[] = L"空き容量が足りません";

// The inputs whose output size was once taken to be their own: Number of
// Frames "abc", a meta group length 20 too large, a non-standard VR before the
// pixels. Each is 26 KB and converts to 193 KiB.
const wchar_t* const kOffStandardInputs[] = { L"small-frames-abc.dcm", L"small-meta-long.dcm",
                                              L"small-vr-unknown2b.dcm" };

bool IsDefaultButton(const MessageBoxView& box, int id)
{
    const LONG style = ::GetWindowLongW(::GetDlgItem(box.hwnd, id), GWL_STYLE);
    return (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

class RoomCheck : public ConversionFixture {
protected:
    static fs::path Disk(const wchar_t* name) { return EmptiedSmallDisk(name); }

    // count copies of the given inputs, by turns; returns their names.
    std::vector<std::wstring> AddInputs(const fs::path& folder, const std::vector<fs::path>& inputs, int count)
    {
        fs::create_directories(folder);
        std::vector<std::wstring> names;
        for (int i = 0; i < count; ++i) {
            const fs::path& input = inputs[static_cast<size_t>(i) % inputs.size()];
            names.push_back(std::to_wstring(i) + L"-" + input.filename().wstring());
            fs::copy_file(input, folder / names.back());
        }
        return names;
    }

    static std::vector<fs::path> OffStandardInputs()
    {
        std::vector<fs::path> inputs;
        for (const wchar_t* name : kOffStandardInputs)
            inputs.push_back(DicomFixtureFolder() / L"estimate" / name);
        return inputs;
    }

    // The room box before the run: nothing was started, every original kept.
    void ExpectRefusedBeforeTheRun(const fs::path& folder, const std::vector<std::wstring>& names,
                                   const std::vector<std::string>& originals, const wchar_t* screenshot)
    {
        MessageBoxView box = parvane->WaitForMessageBox(kRunTimeout);
        ASSERT_NE(box.hwnd, nullptr);
        EXPECT_EQ(box.caption, kRoomShortCaption) << fs::path(box.text).string();
        EXPECT_NE(box.text.find(L"（余裕分 8.0 MB を含む）"), std::wstring::npos) << fs::path(box.text).string();
        SaveScreenshot(box.hwnd, ArtifactFolder() / screenshot);
        parvane->Answer(box, IDOK);
        EXPECT_TRUE(parvane->WaitUntilResponsive());
        EXPECT_FALSE(fs::exists(work / L"uncompress.bat"));
        for (size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ(ReadFileBytes(folder / names[i]), originals[i]) << fs::path(names[i]).string();
    }

    static std::vector<std::string> Contents(const fs::path& folder, const std::vector<std::wstring>& names)
    {
        std::vector<std::string> contents;
        for (const std::wstring& name : names)
            contents.push_back(ReadFileBytes(folder / name));
        return contents;
    }

    // Fills the disk until about the given room is left free.
    static void LeaveFree(const fs::path& disk, uint64_t room)
    {
        ULARGE_INTEGER available{};
        ASSERT_TRUE(::GetDiskFreeSpaceExW(disk.c_str(), &available, nullptr, nullptr));
        ASSERT_GT(available.QuadPart, room);
        HANDLE filler = ::CreateFileW((disk / L"filler.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(filler, INVALID_HANDLE_VALUE);
        const std::string chunk(1 << 16, '\0');
        for (uint64_t left = available.QuadPart - room; left > 0;) {
            const DWORD size = static_cast<DWORD>(std::min<uint64_t>(left, chunk.size()));
            DWORD written = 0;
            if (!::WriteFile(filler, chunk.data(), size, &written, nullptr) || written == 0)
                break;
            left -= written;
        }
        ::CloseHandle(filler);
    }

};

// 64 outputs would add 10.5 MiB to a 10 MiB disk with 8.2 MiB left free: in
// place, the run would destroy the last originals.
TEST_F(RoomCheck, InputsOffTheStandardAreCountedAtTheirDecodedSize)
{
    const fs::path disk = Disk(L"tight");
    if (disk.empty())
        GTEST_SKIP() << "no small disk could be mounted";
    const fs::path folder = disk / L"images";
    const std::vector<std::wstring> names = AddInputs(folder, OffStandardInputs(), 64);
    const std::vector<std::string> originals = Contents(folder, names);
    Start(folder.wstring(), folder.wstring());
    parvane->Click(IDC_BUTTON_CONVERT);
    ExpectRefusedBeforeTheRun(folder, names, originals, L"room-off-standard-box.bmp");
}

TEST_F(RoomCheck, InputsOffTheStandardConvertInPlaceWhereTheyFit)
{
    const fs::path disk = Disk(L"during");
    if (disk.empty())
        GTEST_SKIP() << "no small disk could be mounted";
    const fs::path folder = disk / L"images";
    const std::vector<std::wstring> names = AddInputs(folder, OffStandardInputs(), 6);
    Start(folder.wstring(), folder.wstring());
    ASSERT_TRUE(parvane->ClickAndWait(IDC_BUTTON_CONVERT, kRunTimeout));
    EXPECT_TRUE(parvane->NoMessageBoxWithin(1s));
    for (const std::wstring& name : names) {
        const std::string output = ReadFileBytes(folder / name);
        EXPECT_TRUE(IsUncompressed(output)) << fs::path(name).string();
        EXPECT_EQ(PixelData(output).size(), 256u * 256 * 3) << fs::path(name).string();
    }
}

// A USB drive as shipped: each output of about 257 KiB takes three 128 KiB
// clusters where its 30 KB original took one. The free space left lies
// between what the outputs add in bytes and what they add in clusters. (Wine
// says every disk has 4 KiB clusters, 8 sectors of 512 bytes, so here the
// margin is what holds the run back; RunOutcomeTest counts the clusters.)
TEST_F(RoomCheck, OutputsOnExfatCountInWholeClusters)
{
    const fs::path disk = Disk(L"usb");
    if (disk.empty())
        GTEST_SKIP() << "no exFAT disk could be mounted";
    const fs::path folder = disk / L"images";
    const fs::path input = DicomFixtureFolder() / L"usb.dcm";
    const std::vector<std::wstring> names = AddInputs(folder, { input }, 20);
    const std::vector<std::string> originals = Contents(folder, names);
    const uint64_t outputBytes = 300 * 292 * 3 + 1024, cluster = 128 * 1024;
    const uint64_t addedInBytes = 20 * (outputBytes - fs::file_size(input));
    const uint64_t addedInClusters = 20 * 2 * cluster;
    ASSERT_LT(addedInBytes, addedInClusters);
    LeaveFree(disk, (addedInBytes + addedInClusters) / 2);
    Start(folder.wstring(), folder.wstring());
    parvane->Click(IDC_BUTTON_CONVERT);
    ExpectRefusedBeforeTheRun(folder, names, originals, L"room-exfat-box.bmp");
}

// The output folder is given relative to the working folder and is still to
// be made: its disk cannot be asked. With both folders apart, Yes is the
// default; No leaves everything as it was.
TEST_F(RoomCheck, AFreeSpaceThatCannotBeAskedIsAQuestionBeforeTheRun)
{
    const fs::path in = work / L"in";
    AddInputs(in, { DicomFixtureFolder() / L"lossless.dcm" }, 2);
    Start(in.wstring(), L"out");
    parvane->Click(IDC_BUTTON_CONVERT);
    MessageBoxView create = parvane->WaitForMessageBox();
    ASSERT_EQ(create.caption, L"出力フォルダがありません");
    parvane->Answer(create, IDYES);
    MessageBoxView box = parvane->WaitForMessageBox(kRunTimeout);
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.caption, L"空き容量を確認できません");
    EXPECT_EQ(box.buttons, (std::vector<int>{ IDYES, IDNO }));
    EXPECT_TRUE(IsDefaultButton(box, IDYES));
    EXPECT_FALSE(IsDefaultButton(box, IDNO));
    SaveScreenshot(box.hwnd, ArtifactFolder() / L"room-unknown-box.bmp");
    parvane->Answer(box, IDNO);
    EXPECT_TRUE(parvane->WaitUntilResponsive());
    EXPECT_FALSE(fs::exists(work / L"uncompress.bat"));
    EXPECT_FALSE(fs::exists(work / L"out"));
}

// A JPEG input whose data set cannot be walked to its pixel data gives no
// bound to its output: a question, whose default is No with both folders one.
TEST_F(RoomCheck, AnOutputWithoutABoundIsAQuestionBeforeTheRun)
{
    const fs::path folder = work / L"images";
    const std::vector<std::wstring> names = AddInputs(folder, { DicomFixtureFolder() / L"lossless.dcm" }, 2);
    std::string broken = ReadFileBytes(folder / names[0]);
    const size_t bitsAllocated = broken.find(std::string("\x28\x00\x00\x01US", 6));
    ASSERT_NE(bitsAllocated, std::string::npos);
    broken.replace(bitsAllocated, 4, "\xFE\xFF\x0D\xE0");  // a stray item delimiter
    WriteFileBytes(folder / names[0], broken);
    const std::vector<std::string> originals = Contents(folder, names);
    Start(folder.wstring(), folder.wstring());
    parvane->Click(IDC_BUTTON_CONVERT);
    MessageBoxView box = parvane->WaitForMessageBox(kRunTimeout);
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.caption, L"出力ファイルの大きさがわかりません");
    EXPECT_NE(box.text.find(L" 1 件"), std::wstring::npos) << fs::path(box.text).string();
    EXPECT_EQ(box.buttons, (std::vector<int>{ IDYES, IDNO }));
    EXPECT_TRUE(IsDefaultButton(box, IDNO));
    EXPECT_FALSE(IsDefaultButton(box, IDYES));
    SaveScreenshot(box.hwnd, ArtifactFolder() / L"room-unbounded-box.bmp");
    parvane->Answer(box, IDNO);
    EXPECT_TRUE(parvane->WaitUntilResponsive());
    EXPECT_FALSE(fs::exists(work / L"uncompress.bat"));
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(ReadFileBytes(folder / names[i]), originals[i]);
}

}  // namespace
