#include "script/ConversionScript.h"
#include "report/ReportTexts.h"
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

namespace {

// A stand-in for a single-byte code page: Latin-1, refusing everything else.
bool EncodeLatin1(std::wstring_view text, std::string& bytes)
{
    bytes.clear();
    for (wchar_t ch : text) {
        if (static_cast<unsigned>(ch) > 0xFF)
            return false;
        bytes += static_cast<char>(ch);
    }
    return true;
}

std::vector<SkipReason> Reasons(const ConversionScript& script)
{
    std::vector<SkipReason> reasons;
    for (const SkippedFile& file : script.Skipped())
        reasons.push_back(file.reason);
    return reasons;
}

}  // namespace

TEST(ConversionScript, BatchBytesHoldOneEncodedLinePerFileWithCrLf)
{
    ConversionScript script(L"C:\\in\\", L"D:\\out\\", &EncodeLatin1);
    script.AddFile(L"one.dcm");
    script.AddFile(L"café 50%.dcm");
    EXPECT_EQ(script.Bytes(), "dcmdjpeg \"C:\\in\\one.dcm\" \"D:\\out\\one.dcm\"\r\n"
                              "dcmdjpeg \"C:\\in\\caf\xE9 50%%.dcm\" \"D:\\out\\caf\xE9 50%%.dcm\"\r\n");
    EXPECT_EQ(script.FilesWithLine(), (std::vector<std::wstring>{ L"one.dcm", L"café 50%.dcm" }));
    EXPECT_TRUE(script.Skipped().empty());
}

TEST(ConversionScript, FilesThatCannotBeWrittenSafelyAreSkippedWithTheirReasonAndTheOthersKeepTheirLines)
{
    ConversionScript script(L"C:\\in\\", L"D:\\out\\", &EncodeLatin1);
    const std::wstring tooLong(kMaxLineLength, L'x');
    for (const wchar_t* name : { L"a.dcm", L"a\"b.dcm", L"dot.dcm.", L"nul.dcm", L"한글.dcm", L"b.dcm" })
        script.AddFile(name);
    script.AddFile(tooLong);
    EXPECT_EQ(script.Bytes(), "dcmdjpeg \"C:\\in\\a.dcm\" \"D:\\out\\a.dcm\"\r\n"
                              "dcmdjpeg \"C:\\in\\b.dcm\" \"D:\\out\\b.dcm\"\r\n");
    EXPECT_EQ(Reasons(script), (std::vector<SkipReason>{ SkipReason::ForbiddenCharacter, SkipReason::TrailingDotOrSpace,
                                                         SkipReason::DeviceName, SkipReason::CodePage,
                                                         SkipReason::LineTooLong }));
}

TEST(ConversionScript, ALineThatFitsInCharactersButNotInEncodedBytesIsTooLong)
{
    // A stand-in for a double-byte code page: two bytes for every character
    // beyond ASCII.
    auto encodeDoubleByte = [](std::wstring_view text, std::string& bytes) {
        bytes.clear();
        for (wchar_t ch : text)
            bytes.append(static_cast<unsigned>(ch) > 0x7F ? 2 : 1, static_cast<char>(ch));
        return true;
    };
    const size_t lineWithoutName = ConversionLine(L"C:\\", L"", L"D:\\").size() - 1;
    const size_t nameFitsInBytes = (kMaxLineLength - lineWithoutName) / 4;
    ConversionScript script(L"C:\\", L"D:\\", encodeDoubleByte);
    script.AddFile(std::wstring(nameFitsInBytes, L'\uFF01'));
    script.AddFile(std::wstring(nameFitsInBytes + 1, L'\uFF01'));
    EXPECT_EQ(script.FilesWithLine().size(), 1u);
    EXPECT_EQ(Reasons(script), std::vector<SkipReason>{ SkipReason::LineTooLong });
}

TEST(ConversionScript, AFolderTheCodePageCannotHoldLeavesEveryFileOut)
{
    ConversionScript script(L"C:\\한\\", L"D:\\out\\", &EncodeLatin1);
    script.AddFile(L"a.dcm");
    EXPECT_EQ(script.Bytes(), "");
    EXPECT_EQ(Reasons(script), std::vector<SkipReason>{ SkipReason::CodePage });
}

TEST(ConversionScript, FilesNotReachedAfterAStopAreListedUnderTheirOwnReason)
{
    ConversionScript script(L"C:\\in\\", L"D:\\out\\", &EncodeLatin1);
    uint64_t size = 100;
    for (const wchar_t* name : { L"a.dcm", L"CON", L"b.dcm", L"c.dcm", L"d.dcm" })
        script.AddFile(name, size++);
    EXPECT_EQ(script.InputSizes(), (std::vector<uint64_t>{ 100, 102, 103, 104 })) << "one per line";
    script.MarkNotReached(1);  // only a.dcm's line ran
    EXPECT_EQ(script.FilesWithLine(), std::vector<std::wstring>{ L"a.dcm" });
    EXPECT_EQ(script.InputSizes(), std::vector<uint64_t>{ 100 });
    EXPECT_EQ(Reasons(script), (std::vector<SkipReason>{ SkipReason::DeviceName, SkipReason::NotReached,
                                                         SkipReason::NotReached, SkipReason::NotReached }));
    script.MarkNotConverted(L"a.dcm");
    const std::wstring message = SkippedFilesMessage(script.Skipped());
    EXPECT_NE(message.find(L"中止したため変換していません（3 件）:\n    b.dcm\n    c.dcm\n    d.dcm"), std::wstring::npos)
        << std::string(message.begin(), message.end());
    EXPECT_LT(message.find(L"a.dcm"), message.find(L"中止したため")) << "the other reasons come first, as before";

    ConversionScript allReached(L"C:\\in\\", L"D:\\out\\", &EncodeLatin1);
    allReached.AddFile(L"a.dcm");
    allReached.MarkNotReached(1);
    EXPECT_TRUE(allReached.Skipped().empty());
}
