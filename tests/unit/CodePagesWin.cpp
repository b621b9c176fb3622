// The code pages through the platform's own conversions, for the Windows build.
#include "CodePages.h"
#include <windows.h>
#include <map>
#include <memory>

namespace {

class WindowsCodePage : public CodePage {
public:
    explicit WindowsCodePage(UINT number) : m_number(number) {}

    bool Encode(std::wstring_view text, std::string& bytes) const override
    {
        bytes.clear();
        if (text.empty())
            return true;
        const int size = static_cast<int>(text.size());
        BOOL usedDefault = FALSE;
        const int count = ::WideCharToMultiByte(m_number, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0,
                                                nullptr, &usedDefault);
        if (count <= 0 || usedDefault)
            return false;
        bytes.resize(static_cast<size_t>(count));
        ::WideCharToMultiByte(m_number, WC_NO_BEST_FIT_CHARS, text.data(), size, &bytes[0], count, nullptr, nullptr);
        return Decode(bytes) == text;
    }

    std::wstring Decode(std::string_view bytes) const override
    {
        if (bytes.empty())
            return {};
        const int size = static_cast<int>(bytes.size());
        const int count = ::MultiByteToWideChar(m_number, 0, bytes.data(), size, nullptr, 0);
        std::wstring text(static_cast<size_t>(count), L'\0');
        ::MultiByteToWideChar(m_number, 0, bytes.data(), size, &text[0], count);
        return text;
    }

    bool IsLeadByte(unsigned char byte) const override { return ::IsDBCSLeadByteEx(m_number, byte) != FALSE; }

private:
    UINT m_number;
};

}  // namespace

const CodePage& CodePageNumbered(unsigned number)
{
    static std::map<unsigned, std::unique_ptr<CodePage>> pages;
    auto found = pages.find(number);
    if (found == pages.end())
        found = pages.emplace(number, std::make_unique<WindowsCodePage>(number)).first;
    return *found->second;
}
