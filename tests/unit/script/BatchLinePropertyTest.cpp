// The batch-line property (BatchLineProperty.h) over many inputs drawn at
// random, for a Japanese and a Western system, and over the inputs the fuzzer
// once broke it with.
#include "BatchLineProperty.h"
#include <gtest/gtest.h>
#include <random>

using namespace batchproperty;

namespace {

bool IsAccepted(Input input, const ConversionScript::Encoder& encode)
{
    if (input.inputFolder.empty() || input.outputFolder.empty() || !IsSafeFolderText(input.inputFolder) ||
        !IsSafeFolderText(input.outputFolder))
        return false;
    AppendBackslashIfMissing(input.inputFolder);
    AppendBackslashIfMissing(input.outputFolder);
    ConversionScript script(input.inputFolder, input.outputFolder, encode);
    script.AddFile(input.fileName);
    return !script.FilesWithLine().empty();
}

}  // namespace

TEST(BatchLineProperty, HoldsForRandomFoldersAndNames)
{
    std::mt19937 random(20261210);
    size_t accepted = 0;
    for (int n = 0; n < 10000; ++n) {
        const std::vector<uint8_t> data = RandomInputBytes(random);
        const Input input = InputFromBytes(data.data(), data.size());
        const System system = SystemNumbered(input.system);
        ASSERT_EQ(Check(input, system, StandInEncoder(system)), "") << "input " << n;
        accepted += IsAccepted(input, StandInEncoder(system));
    }
    EXPECT_GT(accepted, 150u) << "too few names accepted to show the property";
}

// Inputs the fuzzer found, kept as they were found.
TEST(BatchLineProperty, HoldsForTheFuzzersFindings)
{
    struct Finding { const char* what; std::vector<uint8_t> bytes; } const findings[] = {
        // 4541 full-width characters fit the character limit, but in code page
        // 932 the line took 9072 bytes: the interpreter read its rest as a
        // second line.
        { "a line within the character limit but over it in bytes",
          { 0x20, 0x69, 0x60, 0xfe, 0x20, 0x69, 0xfb, 0x2e, 0x60, 0x26, 0x26, 0x5b, 0x30, 0x26, 0xff, 0x26,
            0x5b, 0x64, 0x26, 0x2e, 0x60, 0xfe, 0x30, 0x26, 0x2e, 0xfb, 0x26, 0x5b, 0x30, 0x26, 0xff, 0x26,
            0x5b, 0x64, 0x26, 0x2e } },
    };
    for (const Finding& finding : findings) {
        const Input input = InputFromBytes(finding.bytes.data(), finding.bytes.size());
        const System system = SystemNumbered(input.system);
        EXPECT_EQ(Check(input, system, StandInEncoder(system)), "") << finding.what;
    }
}

// On a Western system the interpreter reads the batch in 437 and dcmdjpeg gets
// its arguments in 1252: a name only one of them holds gets no line, so it is
// reported as skipped for the code page, never as converted.
TEST(BatchLineProperty, ANameOnlyOneOfTwoCodePagesHoldsGetsNoLine)
{
    const System western = SystemNumbered(1);
    ConversionScript script(L"C:\\in\\", L"D:\\out\\", StandInEncoder(western));
    script.AddFile(L"\u20AC.dcm");  // € is in 1252 only
    script.AddFile(L"\u2591.dcm");  // ░ is in 437 only
    script.AddFile(L"\u00E9.dcm");  // é is in both
    EXPECT_EQ(script.FilesWithLine(), std::vector<std::wstring>{ L"\u00E9.dcm" });
    ASSERT_EQ(script.Skipped().size(), 2u);
    EXPECT_EQ(script.Skipped()[0].reason, SkipReason::CodePage);
    EXPECT_EQ(script.Skipped()[1].reason, SkipReason::CodePage);
}
