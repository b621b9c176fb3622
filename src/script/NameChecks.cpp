#include "script/NameChecks.h"
#include <array>

namespace {

bool IsControl(wchar_t ch)
{
    return ch < L' ';
}

bool IsForbiddenInName(wchar_t ch)
{
    return IsControl(ch) || std::wstring_view(L"\"<>|*?:\\/").find(ch) != std::wstring_view::npos;
}

wchar_t UpperAscii(wchar_t ch)
{
    return (ch >= L'a' && ch <= L'z') ? static_cast<wchar_t>(ch - L'a' + L'A') : ch;
}

bool EqualsIgnoringAsciiCase(std::wstring_view text, std::wstring_view upper)
{
    if (text.size() != upper.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (UpperAscii(text[i]) != upper[i])
            return false;
    }
    return true;
}

bool IsPortDigit(wchar_t ch)
{
    // Windows also treats the superscript digits 1 to 3 as port numbers.
    return (ch >= L'0' && ch <= L'9') || ch == L'\u00B9' || ch == L'\u00B2' || ch == L'\u00B3';
}

// The part of the name Windows compares with the device names: up to the first
// dot, without the spaces before it ("nul .dcm" opens NUL too).
std::wstring_view DeviceStem(std::wstring_view name)
{
    std::wstring_view stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ')
        stem.remove_suffix(1);
    return stem;
}

bool IsDeviceName(std::wstring_view name)
{
    static constexpr std::array<std::wstring_view, 6> kDevices = {
        L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$",
    };
    std::wstring_view stem = DeviceStem(name);
    for (std::wstring_view device : kDevices) {
        if (EqualsIgnoringAsciiCase(stem, device))
            return true;
    }
    return stem.size() == 4 && IsPortDigit(stem[3]) &&
           (EqualsIgnoringAsciiCase(stem.substr(0, 3), L"COM") || EqualsIgnoringAsciiCase(stem.substr(0, 3), L"LPT"));
}

}  // namespace

std::optional<SkipReason> FileNameProblem(std::wstring_view name)
{
    if (name.empty())
        return SkipReason::ForbiddenCharacter;
    for (wchar_t ch : name) {
        if (IsForbiddenInName(ch))
            return SkipReason::ForbiddenCharacter;
    }
    if (name.back() == L'.' || name.back() == L' ')
        return SkipReason::TrailingDotOrSpace;
    if (IsDeviceName(name))
        return SkipReason::DeviceName;
    return std::nullopt;
}

bool IsSafeFolderText(std::wstring_view folder)
{
    for (wchar_t ch : folder) {
        if (ch == L'"' || IsControl(ch))
            return false;
    }
    return true;
}
