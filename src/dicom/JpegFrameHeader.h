#pragma once
// The frame header of a JPEG stream, found as dcmdjpeg finds it before it
// decodes: by walking the stream's markers from its start. Plain C++.
#include <cstdint>
#include <string_view>

// The frame header (SOFn): the bits per sample a decoder writes, and the
// image's size as the stream itself gives it.
struct JpegFrameHeader {
    uint8_t precision = 0;
    uint16_t lines = 0;
    uint16_t samplesPerLine = 0;
    uint8_t components = 0;
};

enum class JpegScan {
    Found,
    NotFound,       // an invalid marker, or the whole stream walked without one
    NeedMoreBytes,  // the bytes end before one is found, and the stream goes on
};

// Walks the markers at the start of bytes, the stream's first bytes (or all
// of them, with wholeStream), to its first frame header.
JpegScan FindJpegFrameHeader(std::string_view bytes, bool wholeStream, JpegFrameHeader& frame);
