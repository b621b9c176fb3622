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
