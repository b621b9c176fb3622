#pragma once
// The code pages the batch-line property needs (932, 437, 1252), both ways,
// as the platform converts: natively through iconv, on Windows through
// WideCharToMultiByte and MultiByteToWideChar.
#include <string>
#include <string_view>

class CodePage {
public:
    virtual ~CodePage() = default;
    // Only an exact form: false when some character has none, or when the
    // bytes do not read back as the same text.
    virtual bool Encode(std::wstring_view text, std::string& bytes) const = 0;
    virtual std::wstring Decode(std::string_view bytes) const = 0;
    // The first byte of a double-byte character.
    virtual bool IsLeadByte(unsigned char byte) const = 0;
};

// 932, 437 or 1252.
const CodePage& CodePageNumbered(unsigned number);
