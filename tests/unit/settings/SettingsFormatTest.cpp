// param.ini as bytes: what each pass of the reader takes (and echoes), which
// folders result, and the exact bytes the writer produces.
#include "settings/SettingsFormat.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Passes = std::vector<std::string>;

struct ReadCase {
    const char* name;
    std::string fileBytes;
    Passes passes;  // the inputFolder and outputFolder follow from the first two
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

std::string Repeated(char c, size_t count) { return std::string(count, c); }

const std::string kValue259 = "C:\\" + Repeated('x', 256);
const std::string kValue100000 = Repeated('y', 100000);

const ReadCase kReadCases[] = {
    { "AsWrittenWithCrLf", "[INPUT]C:\\in\\\r\n[OUTPUT]D:\\out\\\r\n",
      { "C:\\in\\", "D:\\out\\", "" } },
    { "BareLf", "[INPUT]C:\\in\n[OUTPUT]D:\\out\n", { "C:\\in", "D:\\out", "" } },
    { "LastLineWithoutLineEnd", "[INPUT]a\r\n[OUTPUT]b", { "a", "b" } },
    { "KeysSwappedGoByPlace", "[OUTPUT]b\r\n[INPUT]a\r\n", { "b", "a", "" } },
    { "KeyOfMoreThanNineCharactersLosesExactlyTen", "[INPUTFOLDER]a\r\n[OUTPUT]b\r\n",
      { "ER]a", "b", "" } },
    { "NoBracketInTenLosesExactlyTen", "INPUT=C:\\in\r\n[OUTPUT]b\r\n", { "n", "b", "" } },
    { "ShortFirstLineRunsIntoTheSecond", "[IN\r\n[OUTPUT]b\r\n", { "T]b", "" } },
    { "BracketInsideAValueStays", "[INPUT]C:\\a]b\\\r\n[OUTPUT]]\r\n", { "C:\\a]b\\", "]", "" } },
    { "KeysOnly", "[INPUT]\r\n[OUTPUT]\r\n", { "", "", "" } },
    { "OneLineWithLineEnd", "[INPUT]a\r\n", { "a", "" } },
    { "OneLineWithoutLineEnd", "[INPUT]a", { "a" } },
    { "EmptyFile", "", { "" } },
    { "SkipEndingExactlyAtTheEnd", "0123456789", { "" } },
    { "KeyEndingTheFile", "[INPUT]", { "" } },
    { "ThreeLines", "[INPUT]a\r\n[OUTPUT]b\r\n[X]c\r\n", { "a", "b", "c", "" } },
    { "FourLinesLastUnended", "[INPUT]a\r\n[OUTPUT]b\r\n[X]c\r\n[Y]d", { "a", "b", "c", "d" } },
    { "MoreLinesThanFive", "[1]a\n[2]b\n[3]c\n[4]d\n[5]e\n[6]f\n[7]g\n",
      { "a", "b", "c", "d", "e", "f", "g", "" } },
    { "ValueOf259Bytes", "[INPUT]" + kValue259 + "\r\n[OUTPUT]b\r\n", { kValue259, "b", "" } },
    { "ValueOf100000BytesIsReadWhole", "[INPUT]" + kValue100000 + "\r\n[OUTPUT]b\r\n",
      { kValue100000, "b", "" } },
    { "LoneCrIsNoLineEnd", "[INPUT]a\rb\r\r\n[OUTPUT]c\r\n", { "a\rb\r", "c", "" } },
    { "TextEndsAtAZeroByte", std::string("[INPUT]a\0b\r\n[OUTPUT]c\r\n", 23), { "a", "c", "" } },
    { "ShiftJisBytesPassUnchanged", "[INPUT]C:\\\x83\x5C\x95\x5C\\\r\n[OUTPUT]\x83\x5D]\r\n",
      { "C:\\\x83\x5C\x95\x5C\\", "\x83\x5D]", "" } },
};

class SettingsReader : public ::testing::TestWithParam<ReadCase> {};

TEST_P(SettingsReader, TakesEachPassAndTheFirstTwoAsFolders)
{
    const ReadCase& c = GetParam();
    SettingsRead read = ReadSettingsBytes(c.fileBytes);
    EXPECT_EQ(read.passes, c.passes);
    EXPECT_EQ(read.inputFolder, c.passes.at(0));
    EXPECT_EQ(read.outputFolder, c.passes.size() > 1 ? c.passes[1] : "");
}

INSTANTIATE_TEST_SUITE_P(Cases, SettingsReader, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsWriter, BothFoldersEmptyGiveNineteenBytes)
{
    EXPECT_EQ(WriteSettingsBytes("", ""), std::string("[INPUT]\r\n[OUTPUT]\r\n"));
    EXPECT_EQ(WriteSettingsBytes("", "")->size(), 19u);
}

TEST(SettingsWriter, WritesKeysFoldersAndCrLfExactly)
{
    EXPECT_EQ(WriteSettingsBytes("C:\\in\\", "D:\\\x83\x5C ]x"),
              std::string("[INPUT]C:\\in\\\r\n[OUTPUT]D:\\\x83\x5C ]x\r\n"));
}

TEST(SettingsWriter, RefusesAFolderThatWouldNotReadBackAsOneLine)
{
    EXPECT_FALSE(WriteSettingsBytes("C:\\a\nb", "D:\\"));
    EXPECT_FALSE(WriteSettingsBytes("C:\\", "D:\\a\r\nb"));
    EXPECT_FALSE(WriteSettingsBytes(std::string("C:\\a\0b", 6), "D:\\"));
}

TEST(SettingsWriter, WhatItWritesReadsBackToTheSameFolders)
{
    const std::pair<std::string, std::string> folders[] = {
        { "C:\\in\\", "D:\\out\\" },
        { "", "" },
        { "]]", "[OUTPUT]" },
        { "trailing CR\r", "\r" },
        { kValue100000, kValue259 },
    };
    for (const auto& [input, output] : folders) {
        SCOPED_TRACE(input.substr(0, 20));
        SettingsRead read = ReadSettingsBytes(*WriteSettingsBytes(input, output));
        EXPECT_EQ(read.inputFolder, input);
        EXPECT_EQ(read.outputFolder, output);
        EXPECT_EQ(read.passes, (Passes{ input, output, "" }));
    }
}

}  // namespace
