// What a run that was cut off left, told from its journal and the outputs as
// they are: one in-place run of five files, cut while the fourth was written.
#include "DicomTestFiles.h"
#include "FileBytes.h"
#include "check/UnfinishedRun.h"
#include "gather/Gathering.h"
#include <gtest/gtest.h>
#include <filesystem>

namespace fs = std::filesystem;

TEST(UnfinishedRun, EachFileGetsTheReasonTheReportWouldGive)
{
    const std::string jpeg = dicom_test::EncapsulatedImage("1.2.840.10008.1.2.4.70");
    const std::string jpegLs = dicom_test::EncapsulatedImage("1.2.840.10008.1.2.4.80");
    const std::string decoded = dicom_test::SmallImage(dicom_test::kExplicitLittle);
    const fs::path in = fs::temp_directory_path() / L"parvane-win-tests" / L"unfinished-run";
    fs::remove_all(in);
    fs::create_directories(in);
    const CString folder = (in.wstring() + L"\\").c_str();
    for (const wchar_t* name : { L"a.dcm", L"b.dcm", L"c.dcm", L"d.dcm", L"e.dcm" })
        WriteFileBytes(in / name, jpeg);
    ConversionScript script = GatherConversionScript(folder, folder);
    const std::vector<std::wstring> lines = script.FilesWithLine();
    ASSERT_EQ(lines.size(), 5u);
    WriteFileBytes(in / lines[1], jpegLs);
    const RunBaseline baseline(script, folder.Str());
    const std::optional<RunJournal> journal =
        ParseRunJournal(FormatRunJournal(MakeRunJournal(script, folder.Str(), baseline, true, { L"DICOMDIR" })));
    ASSERT_TRUE(journal);

    // The run: two files converted, one dcmdjpeg cannot decode, one cut
    // mid-write over its original, one never reached.
    WriteFileBytes(in / lines[0], decoded);
    WriteFileBytes(in / lines[2], decoded);
    WriteFileBytes(in / lines[3], decoded.substr(0, decoded.size() / 2));

    const UnfinishedRun left = CheckUnfinishedRun(*journal);
    EXPECT_EQ(left.converted, 2u);
    const std::vector<std::pair<std::wstring, SkipReason>> expected = {
        { lines[4], SkipReason::NotReached },
        { lines[1], SkipReason::JpegLs },
        { lines[3], SkipReason::OriginalOverwritten },
        { L"DICOMDIR", SkipReason::DicomdirNotWritten },
    };
    ASSERT_EQ(left.notConverted.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(left.notConverted[i].name, expected[i].first) << i;
        EXPECT_EQ(left.notConverted[i].reason, expected[i].second) << i;
    }
}
