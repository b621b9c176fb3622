#include "script/BatchEncoding.h"
#include "afx/afx.h"

namespace {

// Every OEM and ANSI code page of Windows writes ASCII as itself.
bool EncodeAscii(std::wstring_view text, std::string& bytes)
{
    bytes.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= 0x80)
            return false;
        bytes[i] = static_cast<char>(text[i]);
    }
    return true;
}

}  // namespace

bool EncodeForBatchFile(std::wstring_view text, std::string& bytes)
{
    if (EncodeAscii(text, bytes))
        return true;
    static const UINT oem = ::GetOEMCP();
    static const UINT ansi = ::GetACP();
    if (!CodePageFromWide(text, oem, bytes))
        return false;
    if (ansi == oem)
        return true;
    std::string ansiBytes;
    return CodePageFromWide(text, ansi, ansiBytes);
}
