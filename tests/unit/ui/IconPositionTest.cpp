#include "ui/IconPosition.h"
#include <gtest/gtest.h>

TEST(IconPosition, CentresTheIconWithTheOddPixelRightAndDown)
{
    struct Case { int clientW, clientH, iconW, iconH, x, y; } const cases[] = {
        { 160, 40, 32, 32, 64, 4 },
        { 20, 40, 32, 32, -5, 4 },   // truncation toward zero: -11 / 2 is -5, not -6
        { 33, 33, 32, 32, 1, 1 },
        { 32, 32, 32, 32, 0, 0 },
    };
    for (const Case& c : cases) {
        IconOrigin origin = CentredIconOrigin(c.clientW, c.clientH, c.iconW, c.iconH);
        EXPECT_EQ(origin.x, c.x) << c.clientW;
        EXPECT_EQ(origin.y, c.y) << c.clientH;
    }
}
