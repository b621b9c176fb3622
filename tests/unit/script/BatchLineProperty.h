#pragma once
// The property every batch line holds: for any input folder, output folder
// and file name that Parvane accepts, the interpreter reads the line it writes
// as exactly one command, dcmdjpeg, with exactly two arguments, the input path
// and the output path; also after the line is encoded in the interpreter's
// code page, and with the arguments in the code page dcmdjpeg gets them in.
// Every refusal carries a reason that fits the input.
#include "CodePages.h"
#include "script/ConversionScript.h"
#include <cstdint>
#include <random>
#include <vector>
#include <string>

namespace batchproperty {

// The code pages of a system: the interpreter reads the batch file in oem,
// dcmdjpeg (a narrow-char program) gets its arguments in ansi.
struct System {
    const CodePage* oem;
    const CodePage* ansi;
};

// Japanese (932 and 932) when index is even, Western (437 and 1252) when odd.
System SystemNumbered(unsigned index);

// Parvane's encoder over a system's code pages, as EncodeForBatchFile does it
// on Windows: exact in the OEM code page, and in the ANSI one when it differs.
ConversionScript::Encoder StandInEncoder(const System& system);

struct Input {
    std::wstring inputFolder;   // as typed: before the backslash is added
    std::wstring outputFolder;
    std::wstring fileName;
    unsigned system = 0;        // for SystemNumbered
};

// Arbitrary Unicode from arbitrary bytes, biased toward what the interpreter
// and the run-time treat specially: " % ^ & | < > ( ) ! \, spaces, control
// characters, full-width and private-use characters, double-byte characters
// whose second byte is a backslash, device names, and very long runs.
Input InputFromBytes(const uint8_t* data, size_t size);

// Bytes for InputFromBytes drawn at random, with short texts and the rarer
// kinds of character rarer, so that a fair share of names is accepted.
std::vector<uint8_t> RandomInputBytes(std::mt19937& random);

// Empty when the property holds for the input; otherwise what broke.
std::string Check(const Input& input, const System& system, const ConversionScript::Encoder& encode);

}  // namespace batchproperty
