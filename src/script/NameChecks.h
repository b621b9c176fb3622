#pragma once
// Which folder texts and file names may reach the batch file. The batch file
// is read by the command interpreter, so only text proven safe goes in.
// Plain C++; code pages are checked by the caller's encoder.
#include "script/SkipReason.h"
#include <optional>
#include <string_view>

// Nothing when Windows could have made the name and opens it as itself.
std::optional<SkipReason> FileNameProblem(std::wstring_view name);

// A folder text may hold neither a double quote, which would end the quoted
// path, nor a character below U+0020, which could end the line.
bool IsSafeFolderText(std::wstring_view folder);
