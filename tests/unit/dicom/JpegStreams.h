#pragma once
// Small JPEG streams for the tests: start of image, a frame header and the
// end of image, with no tables or scan, which is all the reader looks at.
#include <cstdint>
#include <string>

namespace dicom_test {

inline std::string JpegStream(uint8_t frameMarker, uint8_t precision, uint16_t lines, uint16_t samplesPerLine,
                              uint8_t components)
{
    std::string stream("\xFF\xD8\xFF", 3);
    stream += static_cast<char>(frameMarker);
    const uint16_t length = static_cast<uint16_t>(8 + 3 * components);
    stream += static_cast<char>(length >> 8);
    stream += static_cast<char>(length & 0xFF);
    stream += static_cast<char>(precision);
    for (uint16_t value : { lines, samplesPerLine }) {
        stream += static_cast<char>(value >> 8);
        stream += static_cast<char>(value & 0xFF);
    }
    stream += static_cast<char>(components);
    for (uint8_t c = 1; c <= components; ++c)
        stream += std::string{ static_cast<char>(c), '\x11', '\0' };
    return stream + "\xFF\xD9";
}

}  // namespace dicom_test
