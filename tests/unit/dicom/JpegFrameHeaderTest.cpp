#include "dicom/JpegFrameHeader.h"
#include "JpegStreams.h"
#include <gtest/gtest.h>

using dicom_test::JpegStream;

TEST(JpegFrameHeader, TheFirstFrameHeaderIsFoundByWalkingTheMarkers)
{
    const std::string lossless12 = JpegStream(0xC3, 12, 80, 96, 1);
    const std::string tables = std::string("\xFF\xD8\xFF\xE0\x00\x04JF\xFF\xDB\x00\x03x", 13);
    const struct Case {
        const char* what;
        std::string bytes;
        bool wholeStream;
        JpegScan scan;
    } cases[] = {
        { "lossless", lossless12, true, JpegScan::Found },
        { "baseline after tables and fill bytes", tables + "\xFF\xFF" + JpegStream(0xC0, 8, 80, 96, 3).substr(2), true,
          JpegScan::Found },
        { "bytes end in the frame header", lossless12.substr(0, 8), false, JpegScan::NeedMoreBytes },
        { "the stream ends there", lossless12.substr(0, 8), true, JpegScan::NotFound },
        { "a table runs past the bytes", tables.substr(0, 6), false, JpegScan::NeedMoreBytes },
        { "no marker", "\xFF\xD8\x12\x34", true, JpegScan::NotFound },
        { "stuffed zero", std::string("\xFF\xD8\xFF\x00", 4), false, JpegScan::NotFound },
        { "empty", "", true, JpegScan::NotFound },
    };
    for (const Case& c : cases) {
        JpegFrameHeader frame;
        EXPECT_EQ(static_cast<int>(FindJpegFrameHeader(c.bytes, c.wholeStream, frame)), static_cast<int>(c.scan))
            << c.what;
    }
    JpegFrameHeader frame;
    ASSERT_EQ(FindJpegFrameHeader(tables + JpegStream(0xC1, 12, 300, 400, 3).substr(2), true, frame),
              JpegScan::Found);
    EXPECT_EQ(frame.precision, 12);
    EXPECT_EQ(frame.lines, 300);
    EXPECT_EQ(frame.samplesPerLine, 400);
    EXPECT_EQ(frame.components, 3);
}
