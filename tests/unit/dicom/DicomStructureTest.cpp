#include "dicom/DicomStructure.h"
#include "DicomTestFiles.h"
#include <gtest/gtest.h>

using namespace dicom_test;

namespace {

// Lets the verdicts print by name when an expectation fails.
struct Named {
    WholeFileVerdict verdict;
    bool operator==(const Named& other) const { return verdict == other.verdict; }
};
std::ostream& operator<<(std::ostream& out, const Named& named)
{
    return out << WholeFileVerdictName(named.verdict);
}

Named CheckNamed(std::string_view bytes)
{
    return { Check(bytes) };
}

const Syntax kUncompressed[] = { kExplicitLittle, kImplicitLittle, kExplicitBig };

// Where the n-th copy of a byte pattern starts.
size_t Find(const std::string& bytes, std::string_view pattern, int nth = 1)
{
    size_t at = std::string::npos;
    for (int i = 0; i < nth; ++i)
        at = bytes.find(pattern, at == std::string::npos ? 0 : at + 1);
    return at;
}

const std::string_view kItemDelimiterLe("\xFE\xFF\x0D\xE0", 4);
const std::string_view kPixelDataLe("\xE0\x7F\x10\x00", 4);

}  // namespace

TEST(DicomStructure, SmallImagesAreWholeInEachUncompressedSyntax)
{
    for (const Syntax& syntax : kUncompressed) {
        SCOPED_TRACE(syntax.uid);
        for (const Image& image : { Image(), Image{ 5, 3, 3, 8, "3" } }) {
            const std::string file = SmallImage(syntax, image);
            EXPECT_EQ(CheckNamed(file), Named{ WholeFileVerdict::Whole });

            const DicomHeader header = Header(file);
            EXPECT_TRUE(header.isDicom);
            EXPECT_EQ(header.transferSyntax, syntax.uid);
            EXPECT_EQ(header.kind, TransferSyntaxKind::Uncompressed);
            EXPECT_EQ(header.rows, image.rows);
            EXPECT_EQ(header.columns, image.columns);
            EXPECT_EQ(header.samplesPerPixel, image.samplesPerPixel);
            EXPECT_EQ(header.bitsAllocated, image.bitsAllocated);
            if (image.numberOfFrames.empty())
                EXPECT_FALSE(header.numberOfFrames);
            else
                EXPECT_EQ(header.numberOfFrames, 3u);
            EXPECT_EQ(header.pixelDataOffset, FileStart(syntax.uid).size() + ImageElements(syntax, image).Bytes().size());
            EXPECT_EQ(header.pixelDataEnd, file.size());
        }
    }
    // Without the meta group's length, the group ends where its tags do.
    DataSet body = ImageElements(kExplicitLittle, Image());
    body.Element(0x7FE0, 0x0010, "OW", std::string(24, '\x55'));
    EXPECT_EQ(CheckNamed(FileStart(kExplicitLittle.uid, false) + body.Bytes()), Named{ WholeFileVerdict::Whole });
}

TEST(DicomStructure, NoStrictPrefixOfAWholeFileIsWhole)
{
    for (const Syntax& syntax : kUncompressed) {
        const std::string file = SmallImage(syntax);
        for (size_t length = 0; length < file.size(); ++length) {
            const WholeFileVerdict verdict = Check(std::string_view(file).substr(0, length));
            EXPECT_NE(verdict, WholeFileVerdict::Whole) << syntax.uid << " cut to " << length << " bytes";
        }
    }
}

TEST(DicomStructure, CutsAreNamedByWhereTheyFall)
{
    const std::string file = SmallImage(kExplicitLittle);
    const size_t dataSet = FileStart(kExplicitLittle.uid).size();
    const size_t pixelData = Find(file, kPixelDataLe);
    const struct Case {
        const char* where;
        size_t length;
        WholeFileVerdict verdict;
    } cases[] = {
        { "empty", 0, WholeFileVerdict::NoPreamble },
        { "in the preamble", 100, WholeFileVerdict::NoPreamble },
        { "in DICM", 131, WholeFileVerdict::NoPreamble },
        { "in the meta group", 150, WholeFileVerdict::MetaGroupUnreadable },
        { "one byte before the data set", dataSet - 1, WholeFileVerdict::MetaGroupUnreadable },
        { "right after the meta group", dataSet, WholeFileVerdict::NoPixelData },
        { "in an element header", dataSet + 5, WholeFileVerdict::ElementCut },
        { "in a value", dataSet + 12, WholeFileVerdict::ElementCut },
        { "between items of an open sequence", Find(file, kItemDelimiterLe) + 8, WholeFileVerdict::UnclosedSequence },
        { "in an item of defined length", Find(file, "TEXT") + 2, WholeFileVerdict::ElementCut },
        { "in the UN sequence", Find(file, "implicit"), WholeFileVerdict::ElementCut },
        { "right before Pixel Data", pixelData, WholeFileVerdict::NoPixelData },
        { "in the Pixel Data header", pixelData + 10, WholeFileVerdict::ElementCut },
        { "in the pixel data", pixelData + 20, WholeFileVerdict::ElementCut },
        { "one byte short", file.size() - 1, WholeFileVerdict::ElementCut },
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckNamed(file.substr(0, c.length)), Named{ c.verdict }) << c.where;
}

TEST(DicomStructure, BrokenStructuresAreNotWhole)
{
    const std::string start = FileStart(kExplicitLittle.uid);
    const std::string pixels = DataSet(kExplicitLittle).Element(0x7FE0, 0x0010, "OW", std::string(8, '\1')).Bytes();
    const std::string image = SmallImage(kExplicitLittle);
    const auto replaced = [](std::string bytes, size_t at, std::string_view with) {
        return bytes.replace(at, with.size(), with);
    };
    DataSet overrunItem(kExplicitLittle);  // an item of 8 bytes holding a 10-byte element
    overrunItem.Header(0x0008, 0x1140, "SQ", 16).Item(8).Element(0x0008, 0x1150, "UI", "1.2");
    DataSet implicitZeros(kImplicitLittle);
    implicitZeros.Element(0x7FE0, 0x0010, "OW", "ab").Raw(std::string(8, '\0'));

    const struct Case {
        const char* what;
        std::string bytes;
        WholeFileVerdict verdict;
    } cases[] = {
        { "no DICM", replaced(image, 128, "DICK"), WholeFileVerdict::NoDicmPrefix },
        { "meta group length two short", replaced(image, 140, std::string(1, static_cast<char>(image[140] - 2))),
          WholeFileVerdict::MetaGroupUnreadable },
        { "meta group length past the end", replaced(image, 143, "\x7F"), WholeFileVerdict::MetaGroupUnreadable },
        { "empty transfer syntax", FileStart("") + pixels, WholeFileVerdict::NoTransferSyntax },
        { "JPEG baseline", EncapsulatedImage("1.2.840.10008.1.2.4.50"), WholeFileVerdict::NotUncompressed },
        { "deflate", FileStart("1.2.840.10008.1.2.1.99") + "abcd", WholeFileVerdict::NotUncompressed },
        { "unknown syntax", FileStart("1.2.3") + pixels, WholeFileVerdict::NotUncompressed },
        { "encapsulated under an uncompressed syntax", EncapsulatedImage(kExplicitLittle.uid),
          WholeFileVerdict::EncapsulatedPixelData },
        { "pixel data longer than the file", replaced(start + pixels, start.size() + 8, "\x0A"),
          WholeFileVerdict::ElementCut },
        { "sequence longer than the file",
          start + DataSet(kExplicitLittle).Header(0x0008, 0x1140, "SQ", 100).Bytes() + pixels,
          WholeFileVerdict::ElementCut },
        { "element overruns its item", start + overrunItem.Bytes() + pixels, WholeFileVerdict::MalformedElement },
        { "sequence delimiter missing before pixel data",
          start + DataSet(kExplicitLittle).Header(0x0008, 0x1140, "SQ", kUndefined).Item().ItemEnd().Bytes() + pixels,
          WholeFileVerdict::MalformedElement },
        { "item delimiter missing",
          start + DataSet(kExplicitLittle).Header(0x0008, 0x1140, "SQ", kUndefined).Item().SequenceEnd().Bytes() + pixels,
          WholeFileVerdict::MalformedElement },
        { "sequence after pixel data open at the end",
          start + pixels + DataSet(kExplicitLittle).Header(0x7FE1, 0x1001, "SQ", kUndefined).Item().ItemEnd().Bytes(),
          WholeFileVerdict::UnclosedSequence },
        { "item delimiter at the top level", start + DataSet(kExplicitLittle).ItemEnd().Bytes() + pixels,
          WholeFileVerdict::MalformedElement },
        { "undefined length on OB that is not pixel data",
          start + DataSet(kExplicitLittle).Header(0x0009, 0x1001, "OB", kUndefined).SequenceEnd().Bytes() + pixels,
          WholeFileVerdict::MalformedElement },
        { "unknown VR", start + DataSet(kExplicitLittle).Element(0x0008, 0x0060, "XX", "OT").Bytes() + pixels,
          WholeFileVerdict::MalformedElement },
        { "tags out of order",
          start + DataSet(kExplicitLittle).Element(0x0008, 0x0060, "CS", "OT").Element(0x0008, 0x0016, "UI", "1.2").Bytes() +
              pixels,
          WholeFileVerdict::OutOfOrder },
        { "pixel data twice", image + pixels, WholeFileVerdict::OutOfOrder },
        { "no pixel data", start + DataSet(kExplicitLittle).Element(0x0008, 0x0060, "CS", "OT").Bytes(),
          WholeFileVerdict::NoPixelData },
        { "one trailing byte", image + "x", WholeFileVerdict::ElementCut },
        { "trailing zeros in explicit VR", image + std::string(8, '\0'), WholeFileVerdict::MalformedElement },
        { "trailing zeros in implicit VR", FileStart(kImplicitLittle.uid) + implicitZeros.Bytes(),
          WholeFileVerdict::OutOfOrder },
        { "trailing padding element", image + DataSet(kExplicitLittle).Element(0xFFFC, 0xFFFC, "OB", "\0\0").Bytes(),
          WholeFileVerdict::Whole },
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckNamed(c.bytes), Named{ c.verdict }) << c.what;
}

TEST(DicomStructure, NestingIsFollowedToItsBoundAndRefusedBeyond)
{
    for (bool unknownVr : { false, true }) {
        SCOPED_TRACE(unknownVr ? "UN" : "SQ");
        EXPECT_EQ(CheckNamed(Nested(kMaxSequenceNesting, unknownVr)), Named{ WholeFileVerdict::Whole });
        EXPECT_EQ(CheckNamed(Nested(kMaxSequenceNesting + 1, unknownVr)), Named{ WholeFileVerdict::TooDeep });
        EXPECT_EQ(CheckNamed(Nested(100000, unknownVr)), Named{ WholeFileVerdict::TooDeep });
        EXPECT_TRUE(Header(Nested(kMaxSequenceNesting, unknownVr)).pixelDataOffset);
        EXPECT_FALSE(Header(Nested(100000, unknownVr)).pixelDataOffset);
    }
}

namespace {

// A file of more than 4 GiB that exists only in its headers: a few real
// bytes, pixel data of 0xFFFFFFFE zero bytes, then a padding element. Counts
// the bytes the reader asks for, and fails reads from failFrom on.
class HugeImageSource : public ByteSource {
public:
    HugeImageSource()
    {
        DataSet set = ImageElements(kExplicitLittle, Image{ 65535, 32767, 1, 16, "" });
        set.Header(0x7FE0, 0x0010, "OW", kPixelBytes);
        m_head = FileStart(kExplicitLittle.uid) + set.Bytes();
        m_tail = DataSet(kExplicitLittle).Element(0xFFFC, 0xFFFC, "OB", std::string(4, '\0')).Bytes();
    }

    uint64_t Size() const override { return TailStart() + m_tail.size(); }

    bool Read(uint64_t offset, void* into, size_t n) override
    {
        if (offset > Size() || n > Size() - offset || offset + n > failFrom)
            return false;
        bytesRead += n;
        auto* out = static_cast<char*>(into);
        for (size_t i = 0; i < n; ++i) {
            const uint64_t at = offset + i;
            out[i] = at < m_head.size() ? m_head[at] : at >= TailStart() ? m_tail[at - TailStart()] : '\0';
        }
        return true;
    }

    uint64_t TailStart() const { return uint64_t{ m_head.size() } + kPixelBytes; }  // past 4 GiB in 32-bit code too

    static constexpr uint32_t kPixelBytes = 0xFFFFFFFE;
    uint64_t bytesRead = 0;
    uint64_t failFrom = UINT64_MAX;

private:
    std::string m_head, m_tail;
};

}  // namespace

TEST(DicomStructure, AHugeFileIsWalkedWithoutReadingItsPixelData)
{
    HugeImageSource source;
    EXPECT_EQ(CheckWholeUncompressed(source), WholeFileVerdict::Whole);
    EXPECT_LT(source.bytesRead, 32768u);

    source.bytesRead = 0;
    const DicomHeader header = ReadDicomHeader(source);
    EXPECT_LT(source.bytesRead, 16384u);
    EXPECT_EQ(header.pixelDataEnd, source.TailStart());

    // A failing read is reported as such, not as a fault of the file.
    source.failFrom = source.TailStart() + 2;
    EXPECT_EQ(CheckWholeUncompressed(source), WholeFileVerdict::ReadFailed);
    source.failFrom = 200;
    EXPECT_EQ(CheckWholeUncompressed(source), WholeFileVerdict::ReadFailed);
    EXPECT_TRUE(ReadDicomHeader(source).readFailed);
    EXPECT_FALSE(ReadDicomHeader(source).isDicom);
}

TEST(DicomStructure, TransferSyntaxesAreClassified)
{
    using K = TransferSyntaxKind;
    const struct Case {
        std::string_view uid;
        TransferSyntaxKind kind;
    } cases[] = {
        { "1.2.840.10008.1.2", K::Uncompressed },
        { "1.2.840.10008.1.2.1", K::Uncompressed },
        { std::string_view("1.2.840.10008.1.2.1\0", 20), K::Uncompressed },
        { "1.2.840.10008.1.2.2 ", K::Uncompressed },
        { "1.2.840.10008.1.2.1.99", K::Deflate },
        { "1.2.840.10008.1.2.4.50", K::Jpeg },
        { "1.2.840.10008.1.2.4.51", K::Jpeg },
        { "1.2.840.10008.1.2.4.53", K::Jpeg },
        { "1.2.840.10008.1.2.4.55", K::Jpeg },
        { "1.2.840.10008.1.2.4.57", K::Jpeg },
        { "1.2.840.10008.1.2.4.70", K::Jpeg },
        { "1.2.840.10008.1.2.4.52", K::JpegOther },
        { "1.2.840.10008.1.2.4.66", K::JpegOther },
        { "1.2.840.10008.1.2.4.80", K::JpegLs },
        { "1.2.840.10008.1.2.4.81", K::JpegLs },
        { "1.2.840.10008.1.2.4.90", K::Jpeg2000 },
        { "1.2.840.10008.1.2.4.91", K::Jpeg2000 },
        { "1.2.840.10008.1.2.4.201", K::Jpeg2000 },
        { "1.2.840.10008.1.2.5", K::Rle },
        { "1.2.840.10008.1.2.4.100", K::Other },
        { "1.2.840.10008.1.2.4.5", K::Other },
        { "1.2.840.10008.1.2.4.500", K::Other },
        { "1.2.840.10008.1.20", K::Other },
        { "1.2.840.10008.1.2.1.2", K::Other },
        { " 1.2.840.10008.1.2", K::Other },
        { "", K::Other },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyTransferSyntax(c.uid), c.kind) << c.uid;
}

TEST(DicomStructure, InputsAreClassifiedFromTheirHeader)
{
    using K = TransferSyntaxKind;
    const std::string image = SmallImage(kExplicitLittle);
    const std::string noDicm = std::string(image).replace(128, 4, "DICK");
    const struct Case {
        const char* what;
        std::string bytes;
        bool isDicom;
        TransferSyntaxKind kind;
        bool pixelData;
    } cases[] = {
        { "empty", "", false, K::Other, false },
        { "text", std::string(300, 'a'), false, K::Other, false },
        { "no DICM", noDicm, false, K::Other, false },
        { "meta group cut", image.substr(0, 150), false, K::Other, false },
        { "uncompressed", image, true, K::Uncompressed, true },
        { "uncompressed big endian", SmallImage(kExplicitBig), true, K::Uncompressed, true },
        { "JPEG baseline", EncapsulatedImage("1.2.840.10008.1.2.4.50"), true, K::Jpeg, true },
        { "JPEG lossless", EncapsulatedImage("1.2.840.10008.1.2.4.70"), true, K::Jpeg, true },
        { "JPEG-LS", EncapsulatedImage("1.2.840.10008.1.2.4.80"), true, K::JpegLs, true },
        { "JPEG 2000", EncapsulatedImage("1.2.840.10008.1.2.4.90"), true, K::Jpeg2000, true },
        { "RLE", EncapsulatedImage("1.2.840.10008.1.2.5"), true, K::Rle, true },
        { "deflate", FileStart("1.2.840.10008.1.2.1.99") + "\x02\x00\x10\x00", true, K::Deflate, false },
        { "no transfer syntax", FileStart("") + "ab", true, K::Other, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DicomHeader header = Header(c.bytes);
        EXPECT_EQ(header.isDicom, c.isDicom);
        EXPECT_FALSE(header.readFailed);
        EXPECT_EQ(TransferSyntaxKindName(header.kind), std::string(TransferSyntaxKindName(c.kind)));
        EXPECT_EQ(header.pixelDataOffset.has_value(), c.pixelData);
        EXPECT_EQ(header.rows.has_value(), c.pixelData);
    }
    // Encapsulated pixel data has no length of its own.
    const DicomHeader jpeg = Header(EncapsulatedImage("1.2.840.10008.1.2.4.50"));
    EXPECT_FALSE(jpeg.pixelDataEnd);
    EXPECT_EQ(jpeg.rows, 4u);
    EXPECT_EQ(jpeg.columns, 3u);
}

namespace {

// A structured report: a content sequence and no pixel data.
DataSet ReportElements(const Syntax& syntax)
{
    DataSet content(syntax);
    content.Element(0x0040, 0xA040, "CS", "TEXT").Element(0x0040, 0xA160, "UT", "no findings");
    DataSet set(syntax);
    set.Element(0x0008, 0x0016, "UI", "1.2.840.10008.5.1.4.1.1.88.11")
        .Element(0x0008, 0x0060, "CS", "SR")
        .Element(0x0040, 0xA040, "CS", "CONTAINER")
        .Header(0x0040, 0xA730, "SQ", kUndefined)
        .Item()
        .Raw(content.Bytes())
        .ItemEnd()
        .SequenceEnd();
    return set;
}

std::string FloatImage(uint16_t element)
{
    DataSet set = ImageElements(kExplicitLittle, Image());
    set.Element(0x7FE0, element, element == 0x0008 ? "OF" : "OD", std::string(element == 0x0008 ? 48 : 96, '\x3F'));
    return FileStart(kExplicitLittle.uid) + set.Bytes();
}

}  // namespace

TEST(DicomStructure, PixelDataOfEveryKindIsToldFromItsAbsence)
{
    const std::string report = FileStart(kExplicitLittle.uid) + ReportElements(kExplicitLittle).Bytes();
    const std::string bareImplicit = ImageElements(kImplicitLittle, Image()).Bytes();
    const std::string bareReport = ReportElements(kImplicitLittle).Bytes();
    const std::string bareExplicit = ReportElements(kExplicitLittle).Bytes();
    const std::string bareBigEndian = ReportElements(kExplicitBig).Bytes();
    DataSet descending(kImplicitLittle);
    descending.Element(0x0010, 0x0010, "PN", "Doe").Element(0x0008, 0x0060, "CS", "OT");
    const struct Case {
        const char* what;
        std::string bytes;
        bool isDicom;
        std::optional<bool> hasPixelData;
        bool bare;
    } cases[] = {
        { "image", SmallImage(kImplicitLittle), true, true, false },
        { "JPEG image", EncapsulatedImage("1.2.840.10008.1.2.4.70"), true, true, false },
        { "float pixel data", FloatImage(0x0008), true, true, false },
        { "double float pixel data", FloatImage(0x0009), true, true, false },
        { "report", report, true, false, false },
        { "report cut inside its sequence", report.substr(0, report.size() - 10), true, std::nullopt, false },
        { "deflated", FileStart("1.2.840.10008.1.2.1.99") + "\x02\x00\x10\x00", true, std::nullopt, false },
        { "bare image attributes alone", bareImplicit, true, false, true },
        { "bare implicit report", bareReport, true, false, true },
        { "bare explicit report", bareExplicit, true, false, true },
        { "bare big endian report", bareBigEndian, true, false, true },
        { "bare data set cut", bareReport.substr(0, bareReport.size() - 3), false, std::nullopt, false },
        { "bare tags descending", descending.Bytes(), false, std::nullopt, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DicomHeader header = Header(c.bytes);
        EXPECT_EQ(header.isDicom, c.isDicom);
        EXPECT_EQ(header.hasPixelData, c.hasPixelData);
        EXPECT_EQ(header.bareDataSet, c.bare);
    }
    // A bare image: its attributes are read as from any other file.
    DataSet bareImage = ImageElements(kImplicitLittle, Image());
    bareImage.Element(0x7FE0, 0x0010, "OW", std::string(static_cast<size_t>(PixelBytes(Image())), '\1'));
    const DicomHeader image = Header(bareImage.Bytes());
    EXPECT_EQ(image.hasPixelData, true);
    EXPECT_EQ(image.kind, TransferSyntaxKind::Uncompressed);
    EXPECT_EQ(image.rows, 4u);
    DataSet bigImage = ImageElements(kExplicitBig, Image());
    bigImage.Element(0x7FE0, 0x0010, "OW", std::string(static_cast<size_t>(PixelBytes(Image())), '\1'));
    const DicomHeader big = Header(bigImage.Bytes());
    EXPECT_EQ(big.transferSyntax, kExplicitBig.uid);
    EXPECT_EQ(big.rows, 4u);

    // Whole files without pixel data are told apart for the caller to judge;
    // float pixel data counts as pixel data.
    EXPECT_EQ(Check(report), WholeFileVerdict::NoPixelData);
    EXPECT_EQ(Check(FloatImage(0x0008)), WholeFileVerdict::Whole);
    EXPECT_EQ(Check(FloatImage(0x0009)), WholeFileVerdict::Whole);
}
