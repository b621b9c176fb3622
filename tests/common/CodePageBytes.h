#pragma once
// Wide text as the bytes of a Windows code page, for comparing files.
#include <windows.h>
#include <string>

inline std::string CodePageBytes(const std::wstring& text, UINT codePage)
{
    int size = ::WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    return bytes;
}

inline std::string CodePage932(const std::wstring& text)
{
    return CodePageBytes(text, 932);
}

inline std::string Ascii(const std::wstring& text)
{
    return CodePageBytes(text, 20127);
}
