#pragma once
// param.ini as bytes: the reader and the writer, with no Windows dependency.
//
// The file holds two lines, "[INPUT]" followed by the input folder and
// "[OUTPUT]" followed by the output folder, each ended by CR LF. The folder
// texts are narrow bytes; encoding them is the caller's business.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct SettingsRead {
    // The text of every pass of the read loop, in order; these are echoed.
    std::vector<std::string> passes;
    std::string inputFolder;   // the first pass's text
    std::string outputFolder;  // the second pass's text; empty when there was none
};

// Reads the file's bytes as a text-mode stream sees them: CR LF is one line
// end, and so is a bare LF. Each pass drops the key (up to and including the
// first "]" among ten characters, or else exactly ten characters, a line end
// counting as one) and takes the rest of the line, whatever its length. Keys
// are never compared: the line's place decides which folder it gives. A text
// ends at a zero byte, as the C string it is echoed from would.
SettingsRead ReadSettingsBytes(std::string_view fileBytes);

// The file's exact bytes for two already-encoded folder texts; nothing when a
// text holds a line feed or a zero byte, which would not read back as written.
std::optional<std::string> WriteSettingsBytes(std::string_view inputFolder,
                                              std::string_view outputFolder);
