// Fuzzes the param.ini reader: any bytes must be read without a hang or a
// crash, give well-formed folders, and survive being written and read again.
#include "settings/SettingsFormat.h"
#include <cstdint>
#include <cstdlib>
#include <cstdio>

namespace {

void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "settings reader invariant broken: %s\n", what);
        std::abort();
    }
}

bool IsOneLine(const std::string& text)
{
    return text.find_first_of(std::string_view("\n\0", 2)) == std::string::npos;
}

size_t CountLineFeeds(std::string_view bytes)
{
    size_t count = 0;
    for (char c : bytes)
        count += c == '\n';
    return count;
}

void CheckWhatWasRead(std::string_view bytes, const SettingsRead& read)
{
    Require(!read.passes.empty(), "at least one pass");
    Require(read.passes.size() <= CountLineFeeds(bytes) + 1, "at most one pass per line");
    size_t total = 0;
    for (const std::string& pass : read.passes) {
        Require(IsOneLine(pass), "a pass's text holds no line feed and no zero byte");
        total += pass.size();
    }
    Require(total <= bytes.size(), "passes take no more than the file holds");
    Require(read.inputFolder == read.passes[0], "input folder is the first pass");
    Require(read.outputFolder == (read.passes.size() > 1 ? read.passes[1] : ""),
            "output folder is the second pass, or empty");
}

void CheckRewriteReadsBack(const SettingsRead& read)
{
    auto written = WriteSettingsBytes(read.inputFolder, read.outputFolder);
    Require(written.has_value(), "folders that were read can be written");
    SettingsRead again = ReadSettingsBytes(*written);
    Require(again.inputFolder == read.inputFolder, "input folder survives a rewrite");
    Require(again.outputFolder == read.outputFolder, "output folder survives a rewrite");
    Require(again.passes.size() == 3, "a written file reads in three passes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    SettingsRead read = ReadSettingsBytes(bytes);
    CheckWhatWasRead(bytes, read);
    CheckRewriteReadsBack(read);
    return 0;
}
