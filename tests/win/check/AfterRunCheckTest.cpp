// The check after a run, on the Windows file system: an output that another
// program (a virus scanner, a sync client) holds without read sharing was
// written but cannot be read back, and gets a reason of its own.
#include "DicomTestFiles.h"
#include "FileBytes.h"
#include "check/AfterRunCheck.h"
#include "gather/Gathering.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

TEST(AfterRunCheck, AnOutputHeldByAnotherProgramIsUncheckedNeverCutShort)
{
    const std::string jpeg = dicom_test::EncapsulatedImage("1.2.840.10008.1.2.4.70");
    const std::string decoded = dicom_test::SmallImage(dicom_test::kExplicitLittle);
    for (const bool inPlace : { false, true }) {
        SCOPED_TRACE(inPlace ? "in place" : "into another folder");
        const fs::path root = fs::temp_directory_path() / L"parvane-win-tests" / L"after-run";
        fs::remove_all(root);
        const fs::path in = root / L"in", out = inPlace ? in : root / L"out";
        fs::create_directories(in);
        fs::create_directories(out);
        for (const wchar_t* name : { L"held.dcm", L"free.dcm" })
            WriteFileBytes(in / name, jpeg);
        const CString inFolder = (in.wstring() + L"\\").c_str(), outFolder = (out.wstring() + L"\\").c_str();
        ConversionScript script = GatherConversionScript(inFolder, outFolder);
        const RunBaseline baseline(script, inFolder.Str());

        // What dcmdjpeg writes, then another program holds one output.
        for (const wchar_t* name : { L"held.dcm", L"free.dcm" })
            WriteFileBytes(out / name, decoded);
        HANDLE holder = ::CreateFileW((out / L"held.dcm").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        MarkFilesNotConverted(script, inFolder, baseline);
        ::CloseHandle(holder);

        ASSERT_EQ(script.Skipped().size(), 1u);
        EXPECT_EQ(script.Skipped()[0].name, L"held.dcm");
        EXPECT_EQ(script.Skipped()[0].reason, SkipReason::OutputUnchecked);
    }
}

// A file smaller than any DICOM file is judged from the size its folder
// listed: it is never opened, so that a folder of empty placeholders (or of
// files another program holds) costs no opens and gets its true reason. Each
// file here is held without sharing: an open would fail, and show.
TEST(AfterRunCheck, AFileTooSmallForDicomIsNeverOpened)
{
    struct Case { const wchar_t* name; size_t size; SkipReason reason; std::optional<uint64_t> outputSize; };
    const Case cases[] = {
        { L"empty.dcm", 0, SkipReason::NotDicom, 0 },
        { L"seven.dcm", 7, SkipReason::NotDicom, 0 },
        // Large enough to hold an element: opened, and found held.
        { L"eight.dcm", 8, SkipReason::NotConverted, 8 },
    };
    const fs::path root = fs::temp_directory_path() / L"parvane-win-tests" / L"too-small";
    fs::remove_all(root);
    const fs::path in = root / L"in", out = root / L"out";
    fs::create_directories(in);
    fs::create_directories(out);
    std::vector<HANDLE> holders;
    for (const Case& c : cases) {
        WriteFileBytes(in / c.name, std::string(c.size, 'x'));
        holders.push_back(::CreateFileW((in / c.name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_NE(holders.back(), INVALID_HANDLE_VALUE);
    }
    const CString inFolder = (in.wstring() + L"\\").c_str(), outFolder = (out.wstring() + L"\\").c_str();
    ConversionScript script = GatherConversionScript(inFolder, outFolder);
    const RunBaseline baseline(script, inFolder.Str());
    MarkFilesNotConverted(script, inFolder, baseline);
    for (HANDLE holder : holders)
        ::CloseHandle(holder);

    ASSERT_EQ(script.Skipped().size(), std::size(cases));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto& lines = script.FilesWithLine();
        const size_t line = static_cast<size_t>(std::find(lines.begin(), lines.end(), c.name) - lines.begin());
        ASSERT_LT(line, lines.size());
        EXPECT_EQ(baseline.OutputSizeExpected(line), c.outputSize);
        for (const SkippedFile& file : script.Skipped()) {
            if (file.name == c.name) {
                EXPECT_EQ(file.reason, c.reason);
            }
        }
    }
}
