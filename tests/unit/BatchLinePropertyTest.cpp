// The batch-line property (BatchLineProperty.h) over many inputs drawn at
// random, for a Japanese and a Western system, and over the inputs the fuzzer
// once broke it with.
#include "BatchLineProperty.h"
#include <gtest/gtest.h>
#include <random>

using namespace batchproperty;

TEST(BatchLineProperty, HoldsForRandomFoldersAndNames)
{
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<size_t> length(1, 160);
    for (int n = 0; n < 4000; ++n) {
        std::vector<uint8_t> data(length(random));
        for (uint8_t& b : data)
            b = static_cast<uint8_t>(byte(random));
        const Input input = InputFromBytes(data.data(), data.size());
        const System system = SystemNumbered(input.system);
        ASSERT_EQ(Check(input, system, StandInEncoder(system)), "") << "input " << n;
    }
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
