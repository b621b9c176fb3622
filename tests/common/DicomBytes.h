#pragma once
// What the tests read of a DICOM file's bytes, without a DICOM library.
#include <cstdint>
#include <cstring>
#include <string>

inline bool IsUncompressed(const std::string& dicom)
{
    return dicom.find("1.2.840.10008.1.2.1") != std::string::npos &&
           dicom.find("1.2.840.10008.1.2.4.") == std::string::npos;
}

// The value of the last Pixel Data element of an explicit VR little endian file.
inline std::string PixelData(const std::string& dicom)
{
    for (const char* vr : { "OW", "OB" }) {
        std::string tag = std::string("\xE0\x7F\x10\x00", 4) + vr + std::string(2, '\0');
        size_t at = dicom.rfind(tag);
        if (at == std::string::npos || at + 12 > dicom.size())
            continue;
        uint32_t length;
        std::memcpy(&length, dicom.data() + at + 8, 4);
        return dicom.substr(at + 12, length);
    }
    return {};
}
