#pragma once
// CString: the framework's wide-character string, over std::wstring.
#include <windows.h>
#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const wchar_t* text) : m_text(text ? text : L"") {}
    CString(std::wstring text) : m_text(std::move(text)) {}
    CString& operator=(const wchar_t* text);
    // Narrow text is taken to be in the system's ANSI code page.
    CString& operator=(const char* ansiText);

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    // Throws CInvalidArgException for an index outside the string.
    wchar_t GetAt(int index) const;

    CString& operator+=(const CString& other) { m_text += other.m_text; return *this; }
    CString& operator+=(const wchar_t* text) { m_text += text; return *this; }
    CString& operator+=(wchar_t ch) { m_text += ch; return *this; }
    friend CString operator+(CString left, const CString& right) { return left += right; }
    friend CString operator+(CString left, const wchar_t* right) { return left += right; }

    // printf-style formatting with the platform's wide conventions (%s takes a wide string).
    void Format(const wchar_t* format, ...);

    operator const wchar_t*() const { return m_text.c_str(); }
    const std::wstring& Str() const { return m_text; }
    bool operator==(const CString& other) const { return m_text == other.m_text; }

private:
    std::wstring m_text;
};

// Conversions between wide text and a Windows code page.
std::wstring WideFromCodePage(const std::string& bytes, UINT codePage);
// Returns false when some character has no exact form in the code page.
bool CodePageFromWide(std::wstring_view text, UINT codePage, std::string& bytes);
