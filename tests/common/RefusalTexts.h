#pragma once
// The key filter's refusal texts as the user must see them, written out here
// once for the unit and the end-to-end tests. The double quote's text is
// spaced differently from the others on purpose.
#include <string>

const std::wstring kQuestionMark = L" '?' はフォルダ名に使用できません";
const std::wstring kSlash = L" '/' はフォルダ名に使用できません";
const std::wstring kAsterisk = L" '*' はフォルダ名に使用できません";
const std::wstring kColon = L" ':' はフォルダ名に使用できません";
const std::wstring kDoubleQuote = L" '\"'はフォルダ名に使用できません ";
const std::wstring kLessThan = L" '<' はフォルダ名に使用できません";
const std::wstring kGreaterThan = L" '>' はフォルダ名に使用できません";
const std::wstring kVerticalBar = L" '|' はフォルダ名に使用できません";
