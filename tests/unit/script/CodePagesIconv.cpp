// The code pages through glibc's iconv, for the native build.
#include "CodePages.h"
#include <cerrno>
#include <iconv.h>
#include <map>
#include <memory>
#include <stdexcept>

namespace {

// One iconv conversion, opened once.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from))
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // False when the input holds something the target cannot.
    bool Run(const char* in, size_t inBytes, std::string& out) const
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        out.assign(inBytes * 4 + 16, '\0');
        char* inPtr = const_cast<char*>(in);
        char* outPtr = &out[0];
        size_t outLeft = out.size();
        const size_t result = iconv(m_cd, &inPtr, &inBytes, &outPtr, &outLeft);
        if (result == static_cast<size_t>(-1))
            return false;
        if (iconv(m_cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1))
            return false;
        out.resize(out.size() - outLeft);
        return true;
    }

private:
    iconv_t m_cd;
};

class IconvCodePage : public CodePage {
public:
    IconvCodePage(const std::string& name, bool doubleByte)
        : m_toBytes(name.c_str(), "WCHAR_T"), m_fromBytes("WCHAR_T", name.c_str()), m_doubleByte(doubleByte)
    {
    }

    bool Encode(std::wstring_view text, std::string& bytes) const override
    {
        if (!m_toBytes.Run(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t), bytes))
            return false;
        return Decode(bytes) == text;
    }

    std::wstring Decode(std::string_view bytes) const override
    {
        std::string wide;
        if (!m_fromBytes.Run(bytes.data(), bytes.size(), wide))
            return L"\uFFFD(undecodable)";
        return std::wstring(reinterpret_cast<const wchar_t*>(wide.data()), wide.size() / sizeof(wchar_t));
    }

    bool IsLeadByte(unsigned char b) const override
    {
        return m_doubleByte && ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC));
    }

private:
    Converter m_toBytes;
    Converter m_fromBytes;
    bool m_doubleByte;
};

}  // namespace

const CodePage& CodePageNumbered(unsigned number)
{
    static std::map<unsigned, std::unique_ptr<CodePage>> pages;
    auto found = pages.find(number);
    if (found == pages.end()) {
        found = pages.emplace(number, std::make_unique<IconvCodePage>("CP" + std::to_string(number), number == 932))
                    .first;
    }
    return *found->second;
}
