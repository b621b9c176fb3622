// The estimate of dcmdjpeg's output on files built in memory: the decoded
// size of each encapsulated pixel data, the bytes around it, and where no
// bound can be had. The estimate against dcmdjpeg's real outputs is in
// DicomStructureDcmtkTest.cpp.
#include "dicom/OutputEstimate.h"
#include "DicomTestFiles.h"
#include "JpegStreams.h"
#include <gtest/gtest.h>
#include <vector>

using namespace dicom_test;

namespace {

const char kJpegLossless[] = "1.2.840.10008.1.2.4.70";

// An image file with the given fragments after an empty offset table, and
// elements after its pixel data.
std::string JpegFile(const Image& image, const std::vector<std::string>& fragments, const std::string& after = "",
                     const char* transferSyntax = kJpegLossless)
{
    DataSet set = ImageElements(kExplicitLittle, image);
    set.Header(0x7FE0, 0x0010, "OB", kUndefined).Item(0);
    for (const std::string& fragment : fragments)
        set.Item(static_cast<uint32_t>(fragment.size())).Raw(fragment);
    set.SequenceEnd().Raw(after);
    return FileStart(transferSyntax) + set.Bytes();
}

// The bytes of the file outside its top-level encapsulated pixel data.
uint64_t OutsidePixelData(const std::string& file)
{
    const DicomHeader header = Header(file);
    EXPECT_EQ(header.encapsulated.size(), 1u);
    return file.size() - (header.encapsulated.at(0).end - header.encapsulated.at(0).begin);
}

std::string Frame(uint8_t precision)
{
    return JpegStream(0xC3, precision, 4, 3, 1);
}

}  // namespace

TEST(OutputEstimate, AJpegOutputIsEveryByteAroundThePixelDataAndThePixelsDecoded)
{
    DataSet trailing(kExplicitLittle);
    trailing.Element(0x7FE1, 0x0010, "LO", "PARVANE TEST")
        .Element(0x7FE1, 0x1001, "OB", std::string(1000, 'x'))
        .Element(0xFFFC, 0xFFFC, "OB", std::string(5000, '\0'));
    const std::string split = Frame(8);
    const struct Case {
        const char* what;
        Image image;
        std::vector<std::string> fragments;
        uint64_t pixelBytes;
        std::string after;
    } cases[] = {
        { "8-bit", Image{ 4, 3, 1, 8, "" }, { Frame(8) }, 12, "" },
        { "12-bit in 16", Image{ 4, 3, 1, 16, "" }, { Frame(12) }, 24, "" },
        { "bits allocated 12 with 12-bit data: 16 written", Image{ 4, 3, 1, 12, "" }, { Frame(12) }, 24, "" },
        { "bits allocated 16 with 8-bit data: 8 written", Image{ 4, 3, 1, 16, "" }, { Frame(8) }, 12, "" },
        { "no frame header: 16 bits", Image{ 4, 3, 1, 8, "" }, { "\xFF\xD8\xFF\xD9" }, 24, "" },
        { "odd count made even", Image{ 5, 3, 1, 8, "" }, { Frame(8) }, 16, "" },
        { "three frames", Image{ 4, 3, 3, 8, "3" }, { Frame(8), Frame(8), Frame(8) }, 108, "" },
        { "more frames stated than fragments", Image{ 4, 3, 1, 8, "5" }, { Frame(8), Frame(8) }, 24, "" },
        { "frames unreadable: the streams counted", Image{ 4, 3, 1, 8, "abc" }, { Frame(8), Frame(8) }, 24, "" },
        { "frames \"0\"", Image{ 4, 3, 1, 8, "0" }, { Frame(8) }, 12, "" },
        { "frames \"1.0\"", Image{ 4, 3, 1, 8, "1.0" }, { Frame(8) }, 12, "" },
        { "no frame count, one stream in two fragments", Image{ 4, 3, 1, 8, "" },
          { split.substr(0, 14), split.substr(14) }, 12, "" },
        { "elements after the pixel data", Image{ 4, 3, 1, 8, "" }, { Frame(8) }, 12, trailing.Bytes() },
    };
    for (const Case& c : cases) {
        const std::string file = JpegFile(c.image, c.fragments, c.after);
        const uint64_t outside = OutsidePixelData(file);
        const DicomHeader header = Header(file);
        EXPECT_EQ(EstimatedOutputSize(header, file.size()),
                  outside + 12 + c.pixelBytes + kRewriteAllowance + header.rewriteGrowth)
            << c.what;
        if (!c.after.empty()) {
            EXPECT_GT(outside, c.after.size()) << c.what;
        }
    }
}

TEST(OutputEstimate, AJpegIconImageCountsDecodedToo)
{
    DataSet icon(kExplicitLittle);
    icon.Us(0x0028, 0x0002, 1).Us(0x0028, 0x0010, 8).Us(0x0028, 0x0011, 8).Us(0x0028, 0x0100, 8);
    const std::string iconFrame = JpegStream(0xC3, 8, 8, 8, 1);
    icon.Header(0x7FE0, 0x0010, "OB", kUndefined).Item(0).Item(static_cast<uint32_t>(iconFrame.size()));
    icon.Raw(iconFrame).SequenceEnd();
    DataSet set(kExplicitLittle);
    set.Element(0x0008, 0x0060, "CS", "OT").DefinedSequence(0x0088, 0x0200, icon);
    set.Us(0x0028, 0x0002, 1).Us(0x0028, 0x0010, 4).Us(0x0028, 0x0011, 3).Us(0x0028, 0x0100, 8);
    set.Header(0x7FE0, 0x0010, "OB", kUndefined).Item(0).Item(static_cast<uint32_t>(Frame(8).size()));
    set.Raw(Frame(8)).SequenceEnd();
    const std::string file = FileStart(kJpegLossless) + set.Bytes();

    const DicomHeader header = Header(file);
    ASSERT_EQ(header.encapsulated.size(), 2u);
    EXPECT_FALSE(header.encapsulated[0].topLevel);
    EXPECT_EQ(header.encapsulated[0].image.rows, 8u);
    EXPECT_EQ(header.rows, 4u);  // the icon's attributes stay its own
    uint64_t outside = file.size();
    for (const EncapsulatedPixelData& pixels : header.encapsulated)
        outside -= pixels.end - pixels.begin;
    EXPECT_EQ(EstimatedOutputSize(header, file.size()),
              outside + (12 + 64 + kNestedImageAllowance) + (12 + 12) + kRewriteAllowance + header.rewriteGrowth);

    // A data set without pixel data of its own (a report, say) with an icon.
    DataSet report(kExplicitLittle);
    report.Element(0x0008, 0x0060, "CS", "SR").DefinedSequence(0x0088, 0x0200, icon);
    const std::string reportFile = FileStart(kJpegLossless) + report.Bytes();
    const DicomHeader reportHeader = Header(reportFile);
    ASSERT_EQ(reportHeader.hasPixelData, false);
    ASSERT_EQ(reportHeader.encapsulated.size(), 1u);
    const EncapsulatedPixelData& reportIcon = reportHeader.encapsulated[0];
    EXPECT_EQ(EstimatedOutputSize(reportHeader, reportFile.size()),
              reportFile.size() - (reportIcon.end - reportIcon.begin) + (12 + 64 + kNestedImageAllowance) +
                  kRewriteAllowance + reportHeader.rewriteGrowth);
}

TEST(OutputEstimate, FilesDcmdjpegDoesNotDecodeNeedNoRoomAndOthersAreWrittenAgain)
{
    for (const char* uid : { "1.2.840.10008.1.2.4.80", "1.2.840.10008.1.2.4.90", "1.2.840.10008.1.2.5",
                             "1.2.840.10008.1.2.4.52" }) {
        const std::string file = JpegFile(Image(), { Frame(8) }, "", uid);
        EXPECT_EQ(EstimatedOutputSize(Header(file), file.size()), 0u) << uid;
    }
    const std::string deflated = FileStart("1.2.840.10008.1.2.1.99") + "\x02\x00\x10\x00";
    EXPECT_EQ(EstimatedOutputSize(Header(deflated), deflated.size()), 0u);  // dcmdjpeg.exe has no zlib
    EXPECT_EQ(EstimatedOutputSize(Header("not a DICOM file"), 16), 0u);

    const std::string explicitVr = SmallImage(kExplicitLittle), implicitVr = SmallImage(kImplicitLittle);
    const DicomHeader explicitHeader = Header(explicitVr);
    EXPECT_EQ(explicitHeader.rewriteGrowth, 4u);  // the implicit element in its UN sequence
    EXPECT_EQ(EstimatedOutputSize(explicitHeader, explicitVr.size()), explicitVr.size() + kRewriteAllowance + 4);
    // Each implicit element may be written with a longer header.
    const DicomHeader implicitHeader = Header(implicitVr);
    EXPECT_GT(implicitHeader.rewriteGrowth, 4 * 10u);
    EXPECT_EQ(EstimatedOutputSize(implicitHeader, implicitVr.size()),
              implicitVr.size() + kRewriteAllowance + implicitHeader.rewriteGrowth);
}

TEST(OutputEstimate, NoBoundWhereTheHeaderCannotGiveOne)
{
    const std::string file = JpegFile(Image(), { Frame(8) });
    const uint64_t pixelDataAt = *Header(file).pixelDataOffset;
    std::string malformed = file;
    malformed.replace(pixelDataAt - 10, 4, "\xFE\xFF\x0D\xE0");  // Bits Allocated's tag: a stray delimiter
    std::string badMeta = file;
    badMeta.replace(136, 2, "zz");  // the first meta element's VR
    const struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        { "malformed before the pixel data", malformed },
        { "meta group unreadable", badMeta },
        { "no image size anywhere", JpegFile(Image{ 0, 0, 1, 8, "" }, { "\xFF\xD8\xFF\xD9" }) },
        { "fragments malformed", file.substr(0, file.size() - 8) + std::string("\x10\x00\x10\x00\0\0\0\0", 8) },
    };
    for (const Case& c : cases)
        EXPECT_FALSE(EstimatedOutputSize(Header(c.bytes), c.bytes.size())) << c.what;
    // dcmdjpeg cannot read a file that ends inside its meta group: it writes
    // nothing, and needs no room.
    EXPECT_EQ(EstimatedOutputSize(Header(file.substr(0, 150)), 150), 0u);

    DicomHeader header = Header(file);
    header.readFailed = true;
    EXPECT_FALSE(EstimatedOutputSize(header, file.size()));
    header = Header(file);
    header.encapsulated[0].image.numberOfFrames = 2147483647;
    header.encapsulated[0].fragments = UINT64_MAX;
    header.encapsulated[0].image.rows = header.encapsulated[0].image.columns = 65535;
    header.encapsulated[0].image.samplesPerPixel = 4;
    EXPECT_FALSE(EstimatedOutputSize(header, file.size())) << "too large to add up";

    // A file cut within its pixel data, dcmdjpeg does not read at all.
    EXPECT_EQ(EstimatedOutputSize(Header(file.substr(0, file.size() - 10)), file.size() - 10), 0u);
}
