// The model of the interpreter and of the run-time's argument split, on its
// table of known cases (the Windows tests hold real cmd to the same table).
#include "CmdKnownCases.h"
#include "CmdModel.h"
#include <gtest/gtest.h>

using namespace cmdmodel;

TEST(CmdModel, KnownCasesGiveTheirRuns)
{
    for (const KnownCase& c : KnownCases()) {
        EXPECT_EQ(ProgramRuns(c.line, KnownCaseEnvironment(c.delayedExpansion), L"dcmdjpeg"), c.runs)
            << c.what;
    }
}

TEST(CmdModel, OnlyAPlainLineIsOneCommandWithTheGivenArguments)
{
    const Environment env = KnownCaseEnvironment(false);
    const std::vector<std::wstring> args = { LR"(C:\in\a.dcm)", LR"(D:\out\a.dcm)" };
    EXPECT_EQ(CheckSingleCommand(LR"(dcmdjpeg "C:\in\a.dcm" "D:\out\a.dcm")", env, L"dcmdjpeg", args), L"");
    EXPECT_EQ(CheckSingleCommand(LR"(dcmdjpeg "C:\in\a.dcm" "D:\out\a.dcm" & rem)", env, L"dcmdjpeg", args),
              L"2 commands");
    EXPECT_EQ(CheckSingleCommand(LR"(dcmdjpeg "C:\in\a.dcm" "D:\out\a.dcm">x)", env, L"dcmdjpeg", args),
              L"redirects >x");
    EXPECT_EQ(CheckSingleCommand(LR"(dcmdjpeg "C:\in\a.dcm" "D:\out\a.dcm"^)", env, L"dcmdjpeg", args),
              L"continues on the next line");
    EXPECT_EQ(CheckSingleCommand(LR"((dcmdjpeg "C:\in\a.dcm" "D:\out\a.dcm"))", env, L"dcmdjpeg", args),
              L"opens or closes a block");
    EXPECT_EQ(CheckSingleCommand(LR"(dcmdjpeg "C:\in\a.dcm" "D:\out\a.dcm" x)", env, L"dcmdjpeg", args),
              L"4 arguments: [dcmdjpeg] [C:\\in\\a.dcm] [D:\\out\\a.dcm] [x]");
}

TEST(CmdModel, BatchLinesEndAtLineFeedsAndAreCutAtTheLimit)
{
    EXPECT_EQ(SplitBatchLines("a\r\nb\nc"), (std::vector<std::string>{ "a", "b", "c" }));
    EXPECT_EQ(SplitBatchLines("a\rb\r\n"), (std::vector<std::string>{ "ab" }));  // Windows drops every CR
    EXPECT_EQ(SplitBatchLines("abcdefg\r\n", 3), (std::vector<std::string>{ "abc", "def", "g" }));
}

TEST(CmdModel, NarrowSplitStepsOverTheSecondByteOfADoubleByteCharacter)
{
    auto cp932Lead = [](unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); };
    auto noLead = [](unsigned char) { return false; };
    // "表" is 95 5C in code page 932: its second byte is the backslash's.
    const std::string line = "dcmdjpeg \"C:\\\x95\x5C\" \"D:\\\x95\x5C\"";
    EXPECT_EQ(SplitArgumentsNarrow(line, cp932Lead),
              (std::vector<std::string>{ "dcmdjpeg", "C:\\\x95\x5C", "D:\\\x95\x5C" }));
    // A run-time blind to lead bytes would read \" as a quote and join the two.
    EXPECT_EQ(SplitArgumentsNarrow(line, noLead),
              (std::vector<std::string>{ "dcmdjpeg", "C:\\\x95\" D:\\\x95\"" }));
}
