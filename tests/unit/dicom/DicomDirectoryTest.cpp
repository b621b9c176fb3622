#include "dicom/DicomDirectory.h"
#include "DicomTestFiles.h"
#include <gtest/gtest.h>

using namespace dicom_test;

namespace {

const DirLengths kLengths[] = { { true, true }, { true, false }, { false, true }, { false, false } };

std::string Describe(DirLengths lengths)
{
    return std::string("sequence ") + (lengths.definedSequence ? "defined" : "undefined") + ", records " +
           (lengths.definedItems ? "defined" : "undefined");
}

std::optional<DicomDirectory> ReadDirectory(std::string_view bytes)
{
    MemoryByteSource source(bytes);
    return DicomDirectory::Read(source);
}

// The indexes in SampleDirectoryRecords() of the records that name a file.
const int kFileRecordIndexes[] = { 4, 5, 6, 7, 11 };

// Where two files first differ, so that a failure says more than two walls of bytes.
size_t FirstDifference(const std::string& a, const std::string& b)
{
    size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at])
        ++at;
    return at == a.size() && at == b.size() ? std::string::npos : at;
}

}  // namespace

TEST(DicomDirectory, ReadsTheFileRecordsAndWritesTheSameBytesBack)
{
    const std::vector<std::string> none;
    for (DirLengths lengths : kLengths) {
        SCOPED_TRACE(Describe(lengths));
        const std::string file = DirectoryFile(SampleDirectoryRecords(), lengths, 1).bytes;
        const std::optional<DicomDirectory> directory = ReadDirectory(file);
        ASSERT_TRUE(directory);
        EXPECT_EQ(FirstDifference(directory->Bytes(), file), std::string::npos);

        const std::vector<DirectoryFileRecord>& records = directory->FileRecords();
        ASSERT_EQ(records.size(), 5u);
        EXPECT_EQ(records[0].fileId, (std::vector<std::string>{ "DICOM", "P1", "S1", "IM1" }));
        EXPECT_EQ(records[0].recordType, "IMAGE");
        EXPECT_EQ(records[0].transferSyntax, "1.2.840.10008.1.2.4.50");
        EXPECT_EQ(records[2].recordType, "SR DOCUMENT");
        EXPECT_EQ(records[2].transferSyntax, "1.2.840.10008.1.2.1");
        EXPECT_EQ(records[3].fileId, (std::vector<std::string>{ "DICOM", "P1", "S1", "PRIV1" }));
        EXPECT_EQ(records[3].transferSyntax, std::nullopt);
        EXPECT_EQ(records[4].fileId, (std::vector<std::string>{ "DICOM", "P2", "S1", "IM1" }));
    }
}

// The expected file is the helper's with the new syntaxes: its offsets and
// lengths are counted afresh rather than moved.
TEST(DicomDirectory, NewSyntaxesMoveTheRecordsAfterThemAndCorrectEveryOffsetAndLength)
{
    const struct Case {
        const char* what;
        std::vector<std::string> syntaxes;  // of the five file records; empty: not set
    } cases[] = {
        { "the JPEG images decompressed: shorter",
          { kExplicitLittle.uid, kExplicitLittle.uid, "", "", kExplicitLittle.uid } },
        { "the report's longer", { "", "", "1.2.840.10008.1.2.4.201", "", "" } },
        { "shorter, odd and longer", { "1.2.840.10008.1.2", "", "1.2.840.10008.1.2.4.100.1", "", "1.2.840.10008.1.2.5" } },
    };
    for (DirLengths lengths : kLengths) {
        for (const Case& c : cases) {
            SCOPED_TRACE(Describe(lengths) + ": " + c.what);
            std::vector<DirRecord> expectedRecords = SampleDirectoryRecords();
            std::optional<DicomDirectory> directory = ReadDirectory(DirectoryFile(expectedRecords, lengths, 1).bytes);
            ASSERT_TRUE(directory);
            for (size_t i = 0; i < c.syntaxes.size(); ++i) {
                if (c.syntaxes[i].empty())
                    continue;
                ASSERT_TRUE(directory->SetTransferSyntax(i, c.syntaxes[i]));
                expectedRecords[kFileRecordIndexes[i]].syntax = c.syntaxes[i];
            }
            const std::string written = directory->Bytes();
            EXPECT_EQ(FirstDifference(written, DirectoryFile(expectedRecords, lengths, 1).bytes), std::string::npos);

            const std::optional<DicomDirectory> again = ReadDirectory(written);
            ASSERT_TRUE(again);
            ASSERT_EQ(again->FileRecords().size(), 5u);
            for (size_t i = 0; i < c.syntaxes.size(); ++i)
                EXPECT_EQ(again->FileRecords()[i].transferSyntax, directory->FileRecords()[i].transferSyntax) << i;
        }
    }
}

TEST(DicomDirectory, OnlyARecordThatHoldsATransferSyntaxTakesANewOneAndOnlyAUid)
{
    const std::string file = DirectoryFile(SampleDirectoryRecords(), { true, true }, 1).bytes;
    std::optional<DicomDirectory> directory = ReadDirectory(file);
    ASSERT_TRUE(directory);
    EXPECT_FALSE(directory->SetTransferSyntax(3, kExplicitLittle.uid)) << "the private record holds none";
    EXPECT_FALSE(directory->SetTransferSyntax(5, kExplicitLittle.uid)) << "there is no such record";
    for (std::string_view notUid : { std::string_view(""), std::string_view("1.2.840.10008.1.2.1 "),
                                     std::string_view("1.2.840.10008.1.2.1\0", 20), std::string_view("1.2.x"),
                                     std::string_view("1\\2") }) {
        EXPECT_FALSE(directory->SetTransferSyntax(0, notUid)) << notUid;
    }
    EXPECT_FALSE(directory->SetTransferSyntax(0, std::string(65, '1')));
    EXPECT_EQ(directory->FileRecords()[0].transferSyntax, "1.2.840.10008.1.2.4.50");
    EXPECT_EQ(directory->FileRecords()[3].transferSyntax, std::nullopt);
    EXPECT_EQ(FirstDifference(directory->Bytes(), file), std::string::npos);
    EXPECT_TRUE(directory->SetTransferSyntax(0, std::string(64, '1')));
}

namespace {

std::string Replaced(std::string bytes, std::string_view what, std::string_view with)
{
    const size_t at = bytes.find(what);
    EXPECT_NE(at, std::string::npos) << "the sample holds the bytes to replace";
    return at == std::string::npos ? bytes : bytes.replace(at, what.size(), with);
}

// A source larger than any DICOMDIR, which must not be read at all.
class HugeSource : public ByteSource {
public:
    uint64_t Size() const override { return DicomDirectory::kMaxSize + 1; }
    bool Read(uint64_t, void*, size_t) override
    {
        ADD_FAILURE() << "a file over the limit is read";
        return false;
    }
};

}  // namespace

TEST(DicomDirectory, RefusesWhatItCannotWriteAgainSafely)
{
    const std::vector<DirRecord> records = SampleDirectoryRecords();
    const DirFile sample = DirectoryFile(records, { true, false }, 1);
    const std::string& file = sample.bytes;
    const std::string_view firstRootHeader("\x04\x00\x00\x12UL\x04\x00", 8);
    const size_t firstRootValue = file.find(firstRootHeader) + firstRootHeader.size();
    const auto firstRootAt = [&](uint32_t offset) {
        std::string bytes = file;
        for (int i = 0; i < 4; ++i)
            bytes[firstRootValue + i] = static_cast<char>(offset >> (8 * i));
        return bytes;
    };
    const std::string iconSequence("\x88\x00\x00\x02SQ\0\0\xFF\xFF\xFF\xFF", 12);
    const uint32_t iconItem = static_cast<uint32_t>(file.find(iconSequence) + iconSequence.size());
    DataSet noRecords(kExplicitLittle);
    noRecords.Element(0x0004, 0x1130, "CS", "PARVANE").Ul(0x0004, 0x1200, 0).Ul(0x0004, 0x1202, 0);

    // Pointing the first root record at another record is no fault.
    ASSERT_TRUE(ReadDirectory(firstRootAt(sample.recordStarts[8])));
    const struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        { "implicit VR", DirectoryFile(records, { true, false }, 1, kImplicitLittle.uid).bytes },
        { "big endian", DirectoryFile(records, { true, false }, 1, kExplicitBig.uid).bytes },
        { "an offset into a record", firstRootAt(sample.recordStarts[1] + 8) },
        { "an offset at an item within a record", firstRootAt(iconItem) },
        { "an offset at the end of the file", firstRootAt(static_cast<uint32_t>(file.size())) },
        { "no Directory Record Sequence", FileStart(kExplicitLittle.uid) + noRecords.Bytes() },
        { "a transfer syntax that is not a UI",
          Replaced(file, std::string_view("\x04\x00\x12\x15UI", 6), std::string_view("\x04\x00\x12\x15LO", 6)) },
        { "an offset that is not a UL",
          Replaced(file, std::string_view("\x04\x00\x20\x14UL", 6), std::string_view("\x04\x00\x20\x14SL", 6)) },
        { "bytes after the data set", file + std::string(4, '\0') },
    };
    for (const Case& c : cases)
        EXPECT_FALSE(ReadDirectory(c.bytes)) << c.what;
    for (size_t length = 0; length < file.size(); ++length)
        ASSERT_FALSE(ReadDirectory(std::string_view(file).substr(0, length))) << "cut to " << length << " bytes";
    HugeSource huge;
    EXPECT_FALSE(DicomDirectory::Read(huge));
}
