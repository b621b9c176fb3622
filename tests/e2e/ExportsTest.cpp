// Exports as users get them, with the real dcmdjpeg.exe: a CD's file-set with
// its DICOMDIR (made by Debian's dcmtk, see make_file_sets.sh), converted into
// another folder and in place, and a tree of subfolders. Each file-set made
// is read afterwards by a file-set reader on the Linux side.
#include "ConversionFixture.h"
#include "DicomBytes.h"
#include "Driver.h"
#include "LinuxSide.h"
#include "resource.h"
#include <gtest/gtest.h>
#include <atomic>
#include <map>
#include <thread>

using namespace e2e;
namespace fs = std::filesystem;

namespace {

constexpr Duration kRunTimeout = 180s;
const std::wstring kSkippedCaption = L"変換しなかったファイルがあります";
const std::wstring kSubfolderCaption = L"サブフォルダも変換しますか";
const std::wstring kLeftAsTheyAre = L"DICOMDIR に記録されていないファイル（ビューアなど） ";
const std::wstring kCopied = L"元のファイルをそのまま出力フォルダにコピーしました";

fs::path FileSetFixture(const wchar_t* name) { return DicomFixtureFolder() / L"filesets" / name; }

// Every file below the folder with its bytes, by its path below it.
std::map<fs::path, std::string> Snapshot(const fs::path& folder)
{
    std::map<fs::path, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder)] = ReadFileBytes(entry.path());
    }
    return files;
}

class Exports : public ConversionFixture {
protected:
    void TearDown() override
    {
        if (m_click.joinable())
            m_click.join();
    }

    // Clicks; the box that ends the run is answered and returned, a null view
    // when the run ended without one.
    MessageBoxView Convert(const wchar_t* screenshot)
    {
        StartClick();
        return FinishClick(screenshot);
    }

    // Clicks and answers the question about subfolders; FinishClick follows.
    void ConvertAnsweringSubfolders(int answer)
    {
        StartClick();
        const MessageBoxView question = parvane->WaitForMessageBox();
        ASSERT_EQ(question.caption, kSubfolderCaption) << fs::path(question.text).string();
        EXPECT_EQ(question.buttons, (std::vector<int>{ IDYES, IDNO }));
        SaveScreenshot(question.hwnd, ArtifactFolder() / L"subfolders-question.bmp");
        EXPECT_EQ(AnswerToEndOfSession(parvane->MainWindow()), TRUE) << "nothing runs while a question waits";
        parvane->Answer(question, answer);
    }

    // The click's handler runs until its last box is answered: it is sent
    // from a thread of its own, so that the box can be read here.
    void StartClick()
    {
        m_returned = false;
        m_click = std::thread([this] {
            parvane->ClickAndWait(IDC_BUTTON_CONVERT, kRunTimeout);
            m_returned = true;
        });
    }

    MessageBoxView FinishClick(const wchar_t* screenshot)
    {
        MessageBoxView box;
        WaitFor([&] { return m_returned || (box = parvane->WaitForMessageBox(0ms)).hwnd != nullptr; }, kRunTimeout);
        if (box.hwnd) {
            SaveScreenshot(box.hwnd, ArtifactFolder() / screenshot);
            parvane->Answer(box, IDOK);
        }
        m_click.join();
        EXPECT_TRUE(parvane->NoMessageBoxWithin(1s));
        return box;
    }

    // Every image of the fixture's file-set, at its path below root, holds
    // the pixels Debian's dcmdjpeg decodes from it.
    static void ExpectImagesDecoded(const fs::path& root, const wchar_t* fixture)
    {
        int images = 0;
        for (const auto& raw : fs::directory_iterator(FileSetFixture(fixture).wstring() + L".expected")) {
            if (raw.path().extension() != L".raw")
                continue;
            std::wstring id = raw.path().stem().wstring();
            for (wchar_t& ch : id)
                ch = ch == L'_' ? L'\\' : ch;
            const std::string output = ReadFileBytes(root / id);
            EXPECT_TRUE(IsUncompressed(output)) << fs::path(id).string();
            EXPECT_EQ(PixelData(output), ReadFileBytes(raw.path())) << fs::path(id).string();
            ++images;
        }
        EXPECT_GT(images, 0);
    }

    // A file-set reader loads the DICOMDIR through its offsets, and every
    // record's file is there with the transfer syntax the record names.
    static void ExpectFileSet(const fs::path& dicomdir, int patients, int instances)
    {
        const std::optional<std::string> printed = RunLinuxScript(
            "/usr/bin/python3 '" + UnixPath(TestSourceFolder() / L"check_file_set.py") + "' '" + UnixPath(dicomdir) +
            "' --expect-patients " + std::to_string(patients) + " --expect-instances " + std::to_string(instances) +
            " && echo FILE-SET-OK");
        ASSERT_TRUE(printed) << "the file-set reader did not end";
        EXPECT_NE(printed->find("FILE-SET-OK"), std::string::npos) << *printed;
    }

private:
    std::thread m_click;
    std::atomic<bool> m_returned{ false };
};

TEST_F(Exports, ACdExportConvertsIntoAnotherFolderAsAFileSetAndTheCdStaysAsItWas)
{
    const fs::path cd = work / L"cd", out = work / L"out";
    fs::copy(FileSetFixture(L"cd"), cd, fs::copy_options::recursive);
    fs::create_directories(out);
    const std::map<fs::path, std::string> before = Snapshot(cd);
    Start(cd, out);
    const MessageBoxView box = Convert(L"cd-export-report.bmp");
    EXPECT_EQ(box.caption, kSkippedCaption) << "no question comes before a file-set's run";
    EXPECT_NE(box.text.find(kLeftAsTheyAre + L"3 件"), std::wstring::npos) << fs::path(box.text).string();
    ExpectImagesDecoded(out, L"cd");
    ExpectFileSet(out / L"DICOMDIR", 2, 5);
    const std::string japaneseName = u8"山田^太郎";
    EXPECT_NE(ReadFileBytes(out / L"DICOMDIR").find(japaneseName), std::string::npos);
    EXPECT_EQ(Snapshot(cd), before) << "the CD's own files are untouched";
    EXPECT_FALSE(fs::exists(out / L"VIEWER"));
    EXPECT_FALSE(fs::exists(out / L"AUTORUN.INF"));
}

TEST_F(Exports, ACdExportConvertsInPlaceAndItsDicomdirNamesTheNewSyntaxes)
{
    const fs::path cd = work / L"cd";
    fs::copy(FileSetFixture(L"cd"), cd, fs::copy_options::recursive);
    const std::string viewer = ReadFileBytes(cd / L"AUTORUN.INF");
    Start(cd, cd);
    const MessageBoxView box = Convert(L"cd-in-place-report.bmp");
    EXPECT_NE(box.text.find(kLeftAsTheyAre + L"3 件"), std::wstring::npos) << fs::path(box.text).string();
    ExpectImagesDecoded(cd, L"cd");
    ExpectFileSet(cd / L"DICOMDIR", 2, 5);
    EXPECT_EQ(ReadFileBytes(cd / L"AUTORUN.INF"), viewer);
    EXPECT_FALSE(fs::exists(cd / L"DICOMDIR.parvane-new"));
}

TEST_F(Exports, AFolderHoldingItsDicomdirBesideItsImagesConvertsInPlace)
{
    const fs::path folder = work / L"beside";
    fs::copy(FileSetFixture(L"beside"), folder, fs::copy_options::recursive);
    Start(folder, folder);
    const MessageBoxView box = Convert(L"beside-report.bmp");
    EXPECT_EQ(box.hwnd, nullptr) << fs::path(box.text).string();
    ExpectImagesDecoded(folder, L"beside");
    ExpectFileSet(folder / L"DICOMDIR", 1, 3);
}

TEST_F(Exports, AFileDcmdjpegCannotDecodeIsCopiedAsItWasSoThatItsRecordStaysTrue)
{
    const fs::path cd = work / L"cd", out = work / L"out";
    fs::copy(FileSetFixture(L"cd-jpegls"), cd, fs::copy_options::recursive);
    fs::create_directories(out);
    Start(cd, out);
    const MessageBoxView box = Convert(L"cd-jpegls-report.bmp");
    EXPECT_NE(box.text.find(kCopied), std::wstring::npos) << fs::path(box.text).string();
    const fs::path jpegLs = L"DICOM\\PAT1\\STU1\\SER1\\IM3";
    EXPECT_EQ(ReadFileBytes(out / jpegLs), ReadFileBytes(cd / jpegLs));
    ExpectImagesDecoded(out, L"cd-jpegls");
    ExpectFileSet(out / L"DICOMDIR", 1, 3);
}

class Trees : public Exports {
protected:
    // in/ holds a.dcm, sub1/b.dcm, sub1/deeper/c.dcm, an empty folder and a
    // link from sub1 back to in/.
    void MakeTree(const fs::path& in)
    {
        for (const wchar_t* path : { L"a.dcm", L"sub1\\b.dcm", L"sub1\\deeper\\c.dcm" }) {
            fs::create_directories((in / path).parent_path());
            fs::copy_file(DicomFixtureFolder() / L"lossless.dcm", in / path);
        }
        fs::create_directories(in / L"empty");
        const std::optional<std::string> linked =
            RunLinuxScript("ln -s '" + UnixPath(in) + "' '" + UnixPath(in / L"sub1" / L"back") + "' && echo LINKED");
        ASSERT_TRUE(linked && linked->find("LINKED") != std::string::npos);
    }

    static void ExpectConverted(const fs::path& output)
    {
        EXPECT_EQ(PixelData(ReadFileBytes(output)), ReadFileBytes(DicomFixtureFolder() / L"lossless.raw"))
            << output.string();
    }

    // Converts the tree into out, answering the question; every file the
    // answer takes in converts, so no box comes.
    void ConvertTree(const fs::path& out, int answer)
    {
        const fs::path in = work / L"in";
        MakeTree(in);
        fs::create_directories(out);
        Start(in, out);
        ConvertAnsweringSubfolders(answer);
        const MessageBoxView box = FinishClick(L"tree-report.bmp");
        EXPECT_EQ(box.hwnd, nullptr) << fs::path(box.text).string();
    }
};

TEST_F(Trees, YesConvertsEveryFileAtItsOwnPathWithoutFollowingALinkBack)
{
    const fs::path out = work / L"out";
    ConvertTree(out, IDYES);
    for (const wchar_t* path : { L"a.dcm", L"sub1\\b.dcm", L"sub1\\deeper\\c.dcm" })
        ExpectConverted(out / path);
    EXPECT_FALSE(fs::exists(out / L"empty")) << "empty folders are not made";
    EXPECT_FALSE(fs::exists(out / L"sub1" / L"back"));
    EXPECT_EQ(Snapshot(out).size(), 3u);
}

TEST_F(Trees, NoConvertsTheInputFolderAloneAsBefore)
{
    const fs::path out = work / L"out";
    ConvertTree(out, IDNO);
    ExpectConverted(out / L"a.dcm");
    EXPECT_EQ(Snapshot(out).size(), 1u);
    EXPECT_FALSE(fs::exists(out / L"sub1"));
}

TEST_F(Trees, AnOutputFolderInsideTheInputIsNeverEnteredSoASecondRunNestsNothing)
{
    const fs::path in = work / L"in", out = in / L"out";
    MakeTree(in);
    fs::create_directories(out);
    Start(in, out);
    for (int run = 1; run <= 2; ++run) {
        ConvertAnsweringSubfolders(IDYES);
        const MessageBoxView box = FinishClick(L"tree-nested-report.bmp");
        EXPECT_EQ(box.hwnd, nullptr) << "run " << run << ": " << fs::path(box.text).string();
    }
    for (const wchar_t* path : { L"a.dcm", L"sub1\\b.dcm", L"sub1\\deeper\\c.dcm" })
        ExpectConverted(out / path);
    EXPECT_EQ(Snapshot(out).size(), 3u);
    EXPECT_FALSE(fs::exists(out / L"out"));
}

}  // namespace
