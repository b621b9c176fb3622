// The resources of the built Parvane.exe, read back as data.
#include "resource.h"
#include "win_paths.h"
#include <windows.h>
#include <gtest/gtest.h>
#include <cstring>
#include <string>

namespace {

constexpr WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

class ParvaneResources : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        module = ::LoadLibraryExW(PARVANE_EXE_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    static void TearDownTestSuite() { ::FreeLibrary(module); }

    static std::string Resource(const wchar_t* type, const wchar_t* name, WORD language)
    {
        HRSRC info = ::FindResourceExW(module, type, name, language);
        if (!info)
            return {};
        const char* data = static_cast<const char*>(::LockResource(::LoadResource(module, info)));
        return std::string(data, ::SizeofResource(module, info));
    }

    static HMODULE module;
};
HMODULE ParvaneResources::module = nullptr;

// Reads a DLGTEMPLATEEX and its items in order.
class TemplateReader {
public:
    explicit TemplateReader(const std::string& bytes) : m_bytes(bytes) {}
    BYTE Byte() { return static_cast<BYTE>(*Take(1)); }
    WORD Word() { WORD v; std::memcpy(&v, Take(2), 2); return v; }
    DWORD Dword() { DWORD v; std::memcpy(&v, Take(4), 4); return v; }
    short Short() { return static_cast<short>(Word()); }
    // A string, an ordinal (0xFFFF, n) given as "#n", or empty (0x0000).
    std::wstring SzOrOrdinal()
    {
        WORD first = Word();
        if (first == 0xFFFF)
            return L"#" + std::to_wstring(Word());
        std::wstring text;
        for (WORD ch = first; ch != 0; ch = Word())
            text += static_cast<wchar_t>(ch);
        return text;
    }
    void AlignDword() { m_pos = (m_pos + 3) & ~size_t(3); }
    void Skip(size_t count) { Take(count); }
    bool AtEnd() const { return m_pos >= m_bytes.size(); }

private:
    const char* Take(size_t count)
    {
        if (m_pos + count > m_bytes.size())
            throw std::out_of_range("template ends early");
        const char* at = m_bytes.data() + m_pos;
        m_pos += count;
        return at;
    }
    const std::string& m_bytes;
    size_t m_pos = 0;
};

struct Item {
    DWORD helpId, exStyle, style;
    short x, y, cx, cy;
    DWORD id;
    std::wstring cls, title;
    WORD extra;
};

TEST_F(ParvaneResources, DialogTemplateIsExactlyAsDesigned)
{
    ASSERT_NE(module, nullptr);
    std::string bytes = Resource(RT_DIALOG, MAKEINTRESOURCEW(IDD_PARVANE_DIALOG), kJapanese);
    ASSERT_FALSE(bytes.empty());
    TemplateReader in(bytes);
    EXPECT_EQ(in.Word(), 1);       // dlgVer
    EXPECT_EQ(in.Word(), 0xFFFF);  // extended form
    EXPECT_EQ(in.Dword(), 0u);     // help id
    EXPECT_EQ(in.Dword(), 0x00040000u);
    EXPECT_EQ(in.Dword(), 0x90C000C0u);
    WORD count = in.Word();
    EXPECT_EQ(count, 9);
    EXPECT_EQ(in.Short(), 0);
    EXPECT_EQ(in.Short(), 0);
    EXPECT_EQ(in.Short(), 311);
    EXPECT_EQ(in.Short(), 143);
    EXPECT_EQ(in.SzOrOrdinal(), L"");  // no menu
    EXPECT_EQ(in.SzOrOrdinal(), L"");  // no class of its own
    EXPECT_EQ(in.SzOrOrdinal(), L"Parvane");
    EXPECT_EQ(in.Word(), 9);  // point size
    EXPECT_EQ(in.Word(), 0);  // weight
    EXPECT_EQ(in.Byte(), 0);  // italic
    EXPECT_EQ(in.Byte(), 1);  // DEFAULT_CHARSET
    EXPECT_EQ(in.SzOrOrdinal(), L"MS UI Gothic");

    // Predefined classes are stored as ordinals: 0x80 button, 0x81 edit, 0x82 static.
    const Item expected[] = {
        { 0, 0, 0x50810080, 50, 31, 209, 18, 1000, L"#129", L"", 0 },
        { 0, 0, 0x50010000, 262, 31, 29, 16, 1001, L"#128", L"参照", 0 },
        { 0, 0, 0x50810080, 50, 56, 209, 18, 1002, L"#129", L"", 0 },
        { 0, 0, 0x50010000, 263, 57, 29, 16, 1003, L"#128", L"参照", 0 },
        { 0, 0, 0x50020000, 11, 34, 38, 12, 0xFFFFFFFF, L"#130", L"入力フォルダ：", 0 },
        { 0, 0, 0x50020000, 11, 59, 38, 12, 0xFFFFFFFF, L"#130", L"出力フォルダ：", 0 },
        { 0, 0, 0x50010000, 125, 97, 60, 23, 1004, L"#128", L"一括変換", 0 },
        { 0, 0, 0x50010000, 264, 117, 40, 19, 1005, L"#128", L"終了", 0 },
        { 0, 0, 0x40010000, 30, 111, 45, 18, 1006, L"#128", L"出力テスト", 0 },
    };
    for (const Item& want : expected) {
        SCOPED_TRACE(static_cast<int>(want.id));
        in.AlignDword();
        Item got{};
        got.helpId = in.Dword();
        got.exStyle = in.Dword();
        got.style = in.Dword();
        got.x = in.Short();
        got.y = in.Short();
        got.cx = in.Short();
        got.cy = in.Short();
        got.id = in.Dword();
        got.cls = in.SzOrOrdinal();
        got.title = in.SzOrOrdinal();
        got.extra = in.Word();
        EXPECT_EQ(got.helpId, want.helpId);
        EXPECT_EQ(got.exStyle, want.exStyle);
        EXPECT_EQ(got.style, want.style);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.cls, want.cls);
        EXPECT_EQ(got.title, want.title);
        EXPECT_EQ(got.extra, 0) << "no creation data";
    }
    EXPECT_TRUE(in.AtEnd());
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

TEST_F(ParvaneResources, IconGroupHoldsThirteenImagesInOrder)
{
    std::string group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(IDR_MAINFRAME), kJapanese);
    ASSERT_GE(group.size(), 6u);
    WORD header[3];
    std::memcpy(header, group.data(), sizeof(header));
    EXPECT_EQ(header[1], 1);  // icon, not cursor
    ASSERT_EQ(header[2], 13);
    ASSERT_EQ(group.size(), 6 + 13 * sizeof(GroupIconEntry));
    struct Want { int size; int bits; } const want[] = {
        { 48, 4 }, { 32, 4 }, { 24, 4 }, { 16, 4 },
        { 48, 8 }, { 32, 8 }, { 24, 8 }, { 16, 8 },
        { 256, 32 }, { 48, 32 }, { 32, 32 }, { 24, 32 }, { 16, 32 },
    };
    for (int i = 0; i < 13; ++i) {
        SCOPED_TRACE(i);
        GroupIconEntry entry;
        std::memcpy(&entry, group.data() + 6 + i * sizeof(entry), sizeof(entry));
        EXPECT_EQ(entry.width == 0 ? 256 : entry.width, want[i].size);
        EXPECT_EQ(entry.height == 0 ? 256 : entry.height, want[i].size);
        EXPECT_EQ(entry.bitCount, want[i].bits);
        std::string image = Resource(RT_ICON, MAKEINTRESOURCEW(entry.id), kJapanese);
        EXPECT_EQ(image.size(), entry.bytesInRes);
        bool isPng = image.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0;
        EXPECT_EQ(isPng, want[i].size == 256);
    }
}

// The value of a string in the version record's "041103a4" block.
std::wstring VersionString(const std::string& record, const wchar_t* name)
{
    UINT length = 0;
    wchar_t* value = nullptr;
    std::wstring path = std::wstring(L"\\StringFileInfo\\041103a4\\") + name;
    std::string copy = record;  // VerQueryValue may write into the block
    if (!::VerQueryValueW(copy.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return L"<missing>";
    return std::wstring(value);
}

TEST_F(ParvaneResources, VersionRecordNamesVersionAndFile)
{
    std::string record = Resource(RT_VERSION, MAKEINTRESOURCEW(1), kJapanese);
    ASSERT_FALSE(record.empty());
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, 4u);
    EXPECT_EQ(fixed->dwFileType, 1u);
    EXPECT_EQ(fixed->dwFileSubtype, 0u);
    EXPECT_EQ(fixed->dwFileDateMS, 0u);
    EXPECT_EQ(fixed->dwFileDateLS, 0u);

    EXPECT_EQ(VersionString(record, L"FileVersion"), L"1.0.0.1");
    EXPECT_EQ(VersionString(record, L"ProductVersion"), L"1.0.0.1");
    EXPECT_EQ(VersionString(record, L"InternalName"), L"Parvane.exe");
    EXPECT_EQ(VersionString(record, L"OriginalFilename"), L"Parvane.exe");

    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation",
                                 reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 932);
}

TEST_F(ParvaneResources, ManifestAsksNoElevationAndNamesNoAssembly)
{
    std::string manifest = Resource(RT_MANIFEST, MAKEINTRESOURCEW(1), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);
    // Every Windows from Vista to 11 is declared supported.
    for (const char* os : { "e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                            "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                            "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a" })
        EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"{") + os + "}\"/>"), std::string::npos) << os;
    // Side-by-side dependencies would stop the program on machines without
    // those assemblies; the common controls v6 would change how it looks.
    EXPECT_EQ(manifest.find("dependentAssembly"), std::string::npos);
    EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos);
    // Exactly one manifest: no other language or id.
    HRSRC other = ::FindResourceW(module, MAKEINTRESOURCEW(2), RT_MANIFEST);
    EXPECT_EQ(other, nullptr);
}

TEST_F(ParvaneResources, NoStringTable)
{
    EXPECT_EQ(::FindResourceW(module, MAKEINTRESOURCEW(1), RT_STRING), nullptr);
}

}  // namespace
