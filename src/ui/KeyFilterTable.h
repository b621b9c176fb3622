#pragma once
// Which key-downs the main dialog lets through, swallows, or refuses because
// they would type a character that a folder name cannot hold. The rows work on
// virtual-key codes and the Shift state alone (the pairs are those of the
// Japanese keyboard) and apply unchanged under every keyboard layout.
#include <functional>

namespace VirtualKey {
constexpr unsigned Return = 13;
constexpr unsigned Escape = 27;
constexpr unsigned Digit2 = 50;  // the 2 of the main keyboard
constexpr unsigned Multiply = 106;
constexpr unsigned Divide = 111;
constexpr unsigned Oem1 = 186;
constexpr unsigned OemComma = 188;
constexpr unsigned OemPeriod = 190;
constexpr unsigned Oem2 = 191;
constexpr unsigned Oem5 = 220;
constexpr unsigned Oem102 = 226;
}  // namespace VirtualKey

enum class KeyAction {
    Pass,             // on to the dialog's usual keyboard handling
    ConsumeSilently,  // dropped without a word
    Refuse,           // dropped after a box that names the character
};

struct KeyDecision {
    KeyAction action;
    const wchar_t* refusalText;  // the box's text when refused; null otherwise
};

// isShiftHeld is called only for a key whose outcome depends on Shift, and at
// most once; a message that is not a key-down passes without asking.
KeyDecision DecideKey(bool isKeyDown, unsigned virtualKey, const std::function<bool()>& isShiftHeld);
