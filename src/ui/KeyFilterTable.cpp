#include "ui/KeyFilterTable.h"
#include <optional>

namespace {

const wchar_t kQuestionMark[] = L" '?' はフォルダ名に使用できません";
const wchar_t kSlash[] = L" '/' はフォルダ名に使用できません";
const wchar_t kAsterisk[] = L" '*' はフォルダ名に使用できません";
const wchar_t kColon[] = L" ':' はフォルダ名に使用できません";
const wchar_t kDoubleQuote[] = L" '\"'はフォルダ名に使用できません ";
const wchar_t kLessThan[] = L" '<' はフォルダ名に使用できません";
const wchar_t kGreaterThan[] = L" '>' はフォルダ名に使用できません";
const wchar_t kVerticalBar[] = L" '|' はフォルダ名に使用できません";

enum class Shift { Either, Held, NotHeld };

struct Row {
    unsigned key;
    Shift shift;
    KeyAction action;
    const wchar_t* refusalText;
};

// Walked in order; the first row whose key and Shift condition match decides.
constexpr Row kRows[] = {
    { VirtualKey::Escape, Shift::Either, KeyAction::ConsumeSilently, nullptr },
    { VirtualKey::Oem2, Shift::Held, KeyAction::Refuse, kQuestionMark },
    { VirtualKey::Oem2, Shift::NotHeld, KeyAction::Refuse, kSlash },
    { VirtualKey::Divide, Shift::Either, KeyAction::Refuse, kSlash },
    { VirtualKey::Oem1, Shift::Held, KeyAction::Refuse, kAsterisk },
    { VirtualKey::Multiply, Shift::Either, KeyAction::Refuse, kAsterisk },
    { VirtualKey::Oem1, Shift::NotHeld, KeyAction::Refuse, kColon },
    { VirtualKey::Digit2, Shift::Held, KeyAction::Refuse, kDoubleQuote },
    { VirtualKey::OemComma, Shift::Held, KeyAction::Refuse, kLessThan },
    { VirtualKey::OemPeriod, Shift::Held, KeyAction::Refuse, kGreaterThan },
    { VirtualKey::Oem102, Shift::Held, KeyAction::Refuse, kVerticalBar },
    { VirtualKey::Oem5, Shift::Held, KeyAction::Refuse, kVerticalBar },
    { VirtualKey::Return, Shift::Either, KeyAction::ConsumeSilently, nullptr },
};

}  // namespace

KeyDecision DecideKey(bool isKeyDown, unsigned virtualKey, const std::function<bool()>& isShiftHeld)
{
    const KeyDecision pass{ KeyAction::Pass, nullptr };
    if (!isKeyDown)
        return pass;
    std::optional<bool> shiftHeld;
    for (const Row& row : kRows) {
        if (row.key != virtualKey)
            continue;
        if (row.shift != Shift::Either) {
            if (!shiftHeld)
                shiftHeld = isShiftHeld();
            if (*shiftHeld != (row.shift == Shift::Held))
                continue;
        }
        return { row.action, row.refusalText };
    }
    return pass;
}
