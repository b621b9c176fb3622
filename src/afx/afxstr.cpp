#include "afxstr.h"
#include "afxexcept.h"
#include <cstdarg>
#include <cwchar>
#include <vector>

CString& CString::operator=(const wchar_t* text)
{
    m_text = text ? text : L"";
    return *this;
}

CString& CString::operator=(const char* ansiText)
{
    m_text = WideFromCodePage(ansiText ? ansiText : "", CP_ACP);
    return *this;
}

wchar_t CString::GetAt(int index) const
{
    if (index < 0 || index >= GetLength())
        throw CInvalidArgException();
    return m_text[static_cast<size_t>(index)];
}

void CString::Format(const wchar_t* format, ...)
{
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list args;
        va_start(args, format);
        // The CRT's own _vsnwprintf: %s means a wide string, as the framework expects.
        int written = _vsnwprintf(buffer.data(), buffer.size() - 1, format, args);
        va_end(args);
        if (written >= 0) {
            m_text.assign(buffer.data(), static_cast<size_t>(written));
            return;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring WideFromCodePage(const std::string& bytes, UINT codePage)
{
    if (bytes.empty())
        return {};
    int size = static_cast<int>(bytes.size());
    int count = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, &text[0], count);
    return text;
}

bool CodePageFromWide(std::wstring_view text, UINT codePage, std::string& bytes)
{
    bytes.clear();
    if (text.empty())
        return true;
    int size = static_cast<int>(text.size());
    // UTF-8 takes neither the best-fit flag nor the default-character test;
    // it refuses unpaired surrogates instead.
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;
    int count = WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, usedDefaultOut);
    if (count <= 0 || usedDefault)
        return false;
    bytes.resize(static_cast<size_t>(count));
    WideCharToMultiByte(codePage, flags, text.data(), size, &bytes[0], count, nullptr, nullptr);
    // A round trip catches what WC_NO_BEST_FIT_CHARS alone lets through.
    return WideFromCodePage(bytes, codePage) == text;
}
