// The code pages through the platform's own conversions, as Parvane makes
// them, for the Windows build.
#include "CodePages.h"
#include "afx/afxstr.h"
#include <windows.h>
#include <map>
#include <memory>

namespace {

class WindowsCodePage : public CodePage {
public:
    explicit WindowsCodePage(UINT number) : m_number(number) {}

    bool Encode(std::wstring_view text, std::string& bytes) const override
    {
        return CodePageFromWide(text, m_number, bytes);
    }

    std::wstring Decode(std::string_view bytes) const override
    {
        return WideFromCodePage(std::string(bytes), m_number);
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
