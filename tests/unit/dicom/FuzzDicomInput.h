#pragma once
// How the DICOM structure fuzz target reads its input: the first byte picks
// whether the rest is a whole file, or a data set put behind a fixed meta
// group, so that the fuzzer spends its time in the data set.
#include "DicomTestFiles.h"
#include <cstdint>
#include <string>
#include <string_view>

namespace dicom_test {

enum FuzzMode : uint8_t { kWholeFile, kExplicitLittleBody, kImplicitLittleBody, kExplicitBigBody, kJpegBody, kModeCount };

inline std::string FuzzFile(const uint8_t* data, size_t size)
{
    if (size == 0)
        return {};
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % kModeCount) {
    case kExplicitLittleBody: return FileStart(kExplicitLittle.uid) + rest;
    case kImplicitLittleBody: return FileStart(kImplicitLittle.uid) + rest;
    case kExplicitBigBody: return FileStart(kExplicitBig.uid) + rest;
    case kJpegBody: return FileStart("1.2.840.10008.1.2.4.50") + rest;
    default: return rest;
    }
}

// The input that FuzzFile reads as the given file.
inline std::string FuzzInput(FuzzMode mode, std::string_view file)
{
    std::string input(1, static_cast<char>(mode));
    if (mode == kWholeFile)
        return input + std::string(file);
    const char* uid = mode == kExplicitLittleBody   ? kExplicitLittle.uid
                      : mode == kImplicitLittleBody ? kImplicitLittle.uid
                      : mode == kExplicitBigBody    ? kExplicitBig.uid
                                                    : "1.2.840.10008.1.2.4.50";
    return input + std::string(file.substr(FileStart(uid).size()));
}

}  // namespace dicom_test
