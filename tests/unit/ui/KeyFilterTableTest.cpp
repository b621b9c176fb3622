#include "ui/KeyFilterTable.h"
#include <gtest/gtest.h>
#include "RefusalTexts.h"
#include <algorithm>
#include <iterator>
#include <string>

namespace {

enum ShiftState { NoShift, WithShift };

// Answers with a fixed Shift state and counts how often it was asked.
struct ShiftProbe {
    bool held;
    int asked = 0;
    std::function<bool()> Query()
    {
        return [this] {
            ++asked;
            return held;
        };
    }
};

std::wstring TextOf(const KeyDecision& decision)
{
    return decision.refusalText ? decision.refusalText : L"";
}

}  // namespace

TEST(KeyFilterTable, DecidesEachKeyByItsRow)
{
    struct Case {
        unsigned key;
        ShiftState shift;
        KeyAction action;
        std::wstring text;
        int shiftAsked;  // how often the Shift state was read
    } const cases[] = {
        { VirtualKey::Escape, NoShift, KeyAction::ConsumeSilently, L"", 0 },
        { VirtualKey::Escape, WithShift, KeyAction::ConsumeSilently, L"", 0 },
        { VirtualKey::Oem2, WithShift, KeyAction::Refuse, kQuestionMark, 1 },
        { VirtualKey::Oem2, NoShift, KeyAction::Refuse, kSlash, 1 },
        { VirtualKey::Divide, NoShift, KeyAction::Refuse, kSlash, 0 },
        { VirtualKey::Divide, WithShift, KeyAction::Refuse, kSlash, 0 },
        { VirtualKey::Oem1, WithShift, KeyAction::Refuse, kAsterisk, 1 },
        { VirtualKey::Multiply, NoShift, KeyAction::Refuse, kAsterisk, 0 },
        { VirtualKey::Multiply, WithShift, KeyAction::Refuse, kAsterisk, 0 },
        { VirtualKey::Oem1, NoShift, KeyAction::Refuse, kColon, 1 },
        { VirtualKey::Digit2, WithShift, KeyAction::Refuse, kDoubleQuote, 1 },
        { VirtualKey::Digit2, NoShift, KeyAction::Pass, L"", 1 },
        { VirtualKey::OemComma, WithShift, KeyAction::Refuse, kLessThan, 1 },
        { VirtualKey::OemComma, NoShift, KeyAction::Pass, L"", 1 },
        { VirtualKey::OemPeriod, WithShift, KeyAction::Refuse, kGreaterThan, 1 },
        { VirtualKey::OemPeriod, NoShift, KeyAction::Pass, L"", 1 },
        { VirtualKey::Oem102, WithShift, KeyAction::Refuse, kVerticalBar, 1 },
        { VirtualKey::Oem102, NoShift, KeyAction::Pass, L"", 1 },
        { VirtualKey::Oem5, WithShift, KeyAction::Refuse, kVerticalBar, 1 },
        { VirtualKey::Oem5, NoShift, KeyAction::Pass, L"", 1 },
        { VirtualKey::Return, NoShift, KeyAction::ConsumeSilently, L"", 0 },
        { VirtualKey::Return, WithShift, KeyAction::ConsumeSilently, L"", 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << (c.shift == WithShift ? " with Shift" : ""));
        ShiftProbe shift{ c.shift == WithShift };
        KeyDecision decision = DecideKey(true, c.key, shift.Query());
        EXPECT_EQ(decision.action, c.action);
        EXPECT_EQ(TextOf(decision), c.text);
        EXPECT_EQ(shift.asked, c.shiftAsked);
    }
}

TEST(KeyFilterTable, EveryOtherKeyPassesWithoutAskingForShift)
{
    const unsigned keysWithRows[] = { VirtualKey::Return, VirtualKey::Escape, VirtualKey::Digit2,
                                      VirtualKey::Multiply, VirtualKey::Divide, VirtualKey::Oem1,
                                      VirtualKey::OemComma, VirtualKey::OemPeriod, VirtualKey::Oem2,
                                      VirtualKey::Oem5, VirtualKey::Oem102 };
    for (unsigned key = 0; key < 0x100; ++key) {
        if (std::find(std::begin(keysWithRows), std::end(keysWithRows), key) != std::end(keysWithRows))
            continue;
        for (bool held : { false, true }) {
            ShiftProbe shift{ held };
            KeyDecision decision = DecideKey(true, key, shift.Query());
            EXPECT_EQ(decision.action, KeyAction::Pass) << key;
            EXPECT_EQ(decision.refusalText, nullptr) << key;
            EXPECT_EQ(shift.asked, 0) << key;
        }
    }
}

TEST(KeyFilterTable, MessagesOtherThanKeyDownPassWithoutAskingForShift)
{
    for (unsigned key : { VirtualKey::Escape, VirtualKey::Return, VirtualKey::Oem2, VirtualKey::Multiply,
                          VirtualKey::Digit2 }) {
        ShiftProbe shift{ true };
        KeyDecision decision = DecideKey(false, key, shift.Query());
        EXPECT_EQ(decision.action, KeyAction::Pass) << key;
        EXPECT_EQ(shift.asked, 0) << key;
    }
}
