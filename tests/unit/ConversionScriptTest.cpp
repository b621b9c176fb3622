#include "convert/ConversionScript.h"
#include <gtest/gtest.h>

TEST(ConversionScript, FolderGetsOneTrailingBackslash)
{
    struct Case { std::wstring typed, folder; } const cases[] = {
        { L"C:\\in", L"C:\\in\\" },
        { L"C:\\in\\", L"C:\\in\\" },
        { L"C:\\in/", L"C:\\in/\\" },          // a slash is kept and followed by a backslash
        { L"C:\\in\\\\", L"C:\\in\\\\" },      // doubled backslashes stay
        { L" rel ", L" rel \\" },              // nothing is trimmed
    };
    for (const Case& c : cases) {
        std::wstring folder = c.typed;
        AppendBackslashIfMissing(folder);
        EXPECT_EQ(folder, c.folder);
    }
}

TEST(ConversionScript, LineQuotesBothPathsAndEndsInALineFeed)
{
    EXPECT_EQ(ConversionLine(L"C:\\in\\", L"two three.dcm", L"D:\\out\\"),
              L"dcmdjpeg \"C:\\in\\two three.dcm\" \"D:\\out\\two three.dcm\"\n");
    EXPECT_EQ(ConversionLine(L"C:\\入力\\", L"画像", L"C:\\入力\\"),
              L"dcmdjpeg \"C:\\入力\\画像\" \"C:\\入力\\画像\"\n");
}

TEST(ConversionScript, PercentSignsAreDoubledSoTheInterpreterPassesThemThrough)
{
    EXPECT_EQ(ConversionLine(L"C:\\100%\\", L"a%TEMP%b.dcm", L"D:\\"),
              L"dcmdjpeg \"C:\\100%%\\a%%TEMP%%b.dcm\" \"D:\\a%%TEMP%%b.dcm\"\n");
}

TEST(ConversionScript, FilesWhoseLineCannotBeWrittenAreLeftOutAndNamed)
{
    ConversionScript script(L"C:\\in\\", L"C:\\out\\",
                            [](const std::wstring& line) { return line.find(L'한') == std::wstring::npos; });
    script.AddFile(L"one.dcm");
    script.AddFile(L"한글.dcm");
    script.AddFile(L"two.dcm");
    EXPECT_EQ(script.Text(), L"dcmdjpeg \"C:\\in\\one.dcm\" \"C:\\out\\one.dcm\"\n"
                             L"dcmdjpeg \"C:\\in\\two.dcm\" \"C:\\out\\two.dcm\"\n");
    EXPECT_EQ(script.LeftOutFiles(), std::vector<std::wstring>{ L"한글.dcm" });
}

TEST(ConversionScript, LeftOutMessageListsNamesAndCountsTheRest)
{
    std::vector<std::wstring> names = { L"a", L"b", L"c" };
    std::wstring message = LeftOutFilesMessage(names, 2);
    EXPECT_NE(message.find(L"\na\nb"), std::wstring::npos);
    EXPECT_EQ(message.find(L"\nc"), std::wstring::npos);
    EXPECT_NE(message.find(L"ほか 1 件"), std::wstring::npos);
    EXPECT_EQ(LeftOutFilesMessage(names).find(L"ほか"), std::wstring::npos);
}
