#include "check/RoomNeed.h"
#include <gtest/gtest.h>

TEST(RoomNeed, RoomNeededIsTheClustersAnOutputAddsOverTheFileItReplaces)
{
    constexpr uint64_t k = 1024;
    const struct Case {
        uint64_t output, replaced, cluster, needed;
    } cases[] = {
        { 1000, 0, 1, 1000 },                 // no rounding
        { 1000, 300, 1, 700 },                // replacing its compressed original
        { 300, 1000, 1, 0 },                  // a smaller output gives room back, never a negative need
        { 1000, 0, 4 * k, 4 * k },            // a new output takes whole clusters
        { 250 * k, 34 * k, 128 * k, 128 * k },  // exFAT: two clusters where one was
        { 100 * k, 34 * k, 128 * k, 0 },        // grows within its cluster
        { 257 * k, 0, 128 * k, 384 * k },
        { 128 * k, 0, 128 * k, 128 * k },       // exactly whole
        { UINT64_MAX, 0, 4 * k, UINT64_MAX },   // too large to round: as it is
    };
    for (const Case& c : cases)
        EXPECT_EQ(RoomNeeded(c.output, c.replaced, c.cluster), c.needed) << c.output << " over " << c.replaced;
}

TEST(RoomNeed, TheMarginIsOnePercentAndAtLeastEightMebibytesOfANeed)
{
    EXPECT_EQ(RoomMargin(0), 0u);  // outputs that need no room are never refused for the margin
    EXPECT_EQ(RoomMargin(1), 8u << 20);
    EXPECT_EQ(RoomMargin(800ull << 20), 8u << 20);
    EXPECT_EQ(RoomMargin(1000ull << 20), 10ull << 20);
    EXPECT_EQ(RoomMargin(100000000001ull), 1000000001ull);  // rounded up
}
