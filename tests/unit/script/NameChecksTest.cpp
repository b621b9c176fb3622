#include "script/NameChecks.h"
#include <gtest/gtest.h>

TEST(NameChecks, FileNamesWindowsCouldNotMakeOrWouldOpenAsAnotherFile)
{
    using R = SkipReason;
    struct Case { std::wstring name; std::optional<SkipReason> problem; } const cases[] = {
        { L"image.dcm", std::nullopt },
        { L"two three.dcm", std::nullopt },
        { L" lead.dcm", std::nullopt },
        { L"50% & a^b!(c).dcm", std::nullopt },  // the interpreter's specials are safe between quotes
        { L"画像.dcm", std::nullopt },
        { L"console.dcm", std::nullopt },
        { L"com10.dcm", std::nullopt },
        { L"lpt.dcm", std::nullopt },
        { L"a\"b.dcm", R::ForbiddenCharacter },
        { L"a<b", R::ForbiddenCharacter },
        { L"a>b", R::ForbiddenCharacter },
        { L"a|b", R::ForbiddenCharacter },
        { L"a*b", R::ForbiddenCharacter },
        { L"a?b", R::ForbiddenCharacter },
        { L"a:b", R::ForbiddenCharacter },
        { L"line\nfeed.dcm", R::ForbiddenCharacter },
        { L"cr\r.dcm", R::ForbiddenCharacter },
        { std::wstring(L"nul\0.dcm", 8), R::ForbiddenCharacter },
        { L"tab\t.dcm", R::ForbiddenCharacter },
        { L"\x1f", R::ForbiddenCharacter },
        { L"", R::ForbiddenCharacter },
        { L"sp.dcm ", R::TrailingDotOrSpace },
        { L"dot.dcm.", R::TrailingDotOrSpace },
        { L"...", R::TrailingDotOrSpace },
        { L"CON", R::DeviceName },
        { L"con", R::DeviceName },
        { L"nul.dcm", R::DeviceName },
        { L"Nul .dcm", R::DeviceName },
        { L"aux.tar.gz", R::DeviceName },
        { L"PRN", R::DeviceName },
        { L"COM1", R::DeviceName },
        { L"com9.dcm", R::DeviceName },
        { L"LPT1.txt", R::DeviceName },
        { L"lpt\u00B9", R::DeviceName },
        { L"conin$", R::DeviceName },
        { L"CONOUT$.x", R::DeviceName },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileNameProblem(c.name), c.problem) << testing::PrintToString(c.name);
}

TEST(NameChecks, FolderTextsWithAQuoteOrAControlCharacterAreUnsafe)
{
    EXPECT_TRUE(IsSafeFolderText(L"C:\\in & out\\100%\\^!()\\"));
    EXPECT_TRUE(IsSafeFolderText(L"\\\\server\\share\\画像\\"));
    EXPECT_FALSE(IsSafeFolderText(L"C:\\in\\x\" & echo hi> injected.txt & rem \"\\..\\"));
    EXPECT_FALSE(IsSafeFolderText(L"C:\\in\r\nrem\\"));
    EXPECT_FALSE(IsSafeFolderText(std::wstring(L"C:\\in\0\\", 7)));
    EXPECT_FALSE(IsSafeFolderText(L"C:\\\x1a\\"));
}
