// The check after a run, on the Windows file system: an output that another
// program (a virus scanner, a sync client) holds without read sharing was
// written but cannot be read back, and gets a reason of its own.
#include "DicomTestFiles.h"
#include "FileBytes.h"
#include "convert/ConversionJob.h"
#include <gtest/gtest.h>
#include <filesystem>

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
