#include "dicom/JpegFrameHeader.h"

namespace {

uint16_t Read16BigEndian(std::string_view bytes, size_t at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) << 8 | static_cast<uint8_t>(bytes[at + 1]));
}

// SOF0 to SOF15, without DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameHeader(uint8_t marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Markers that stand alone: TEM, RSTn, SOI, EOI and the reserved ones.
bool StandsAlone(uint8_t marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9) || (marker >= 0x02 && marker <= 0xBF);
}

}  // namespace

JpegScan FindJpegFrameHeader(std::string_view bytes, bool wholeStream, JpegFrameHeader& frame)
{
    const JpegScan ranOut = wholeStream ? JpegScan::NotFound : JpegScan::NeedMoreBytes;
    size_t at = 0;
    for (;;) {
        if (bytes.size() - at < 2)
            return ranOut;
        if (static_cast<uint8_t>(bytes[at]) != 0xFF)
            return JpegScan::NotFound;
        const uint8_t marker = static_cast<uint8_t>(bytes[at + 1]);
        if (marker == 0xFF) {  // a fill byte
            at += 1;
            continue;
        }
        if (StandsAlone(marker)) {
            at += 2;
            continue;
        }
        if (marker == 0x00)
            return JpegScan::NotFound;
        if (bytes.size() - at < 4)
            return ranOut;
        if (IsFrameHeader(marker)) {
            if (bytes.size() - at < 10)
                return ranOut;
            frame.precision = static_cast<uint8_t>(bytes[at + 4]);
            frame.lines = Read16BigEndian(bytes, at + 5);
            frame.samplesPerLine = Read16BigEndian(bytes, at + 7);
            frame.components = static_cast<uint8_t>(bytes[at + 9]);
            return JpegScan::Found;
        }
        at += 2 + static_cast<size_t>(Read16BigEndian(bytes, at + 2));
        if (at > bytes.size())
            return ranOut;
    }
}
