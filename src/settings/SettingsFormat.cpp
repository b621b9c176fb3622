#include "settings/SettingsFormat.h"
#include <algorithm>

namespace {

constexpr size_t kKeyScanLimit = 10;

// The file as a text-mode stream delivers it: each CR LF pair becomes one LF.
// A CR on its own stays a character like any other.
std::string TextModeView(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        bool crBeforeLf = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
        if (!crBeforeLf)
            text += bytes[i];
    }
    return text;
}

// A read position that, like a stream, notices the end of the text only when a
// read runs into it: a skip that stops exactly at the end has not reached it.
class TextCursor {
public:
    explicit TextCursor(std::string_view text) : m_text(text) {}

    bool ReachedEnd() const { return m_reachedEnd; }

    // Discards up to and including the first "]" among the next ten
    // characters, or else exactly ten characters.
    void SkipKey()
    {
        for (size_t dropped = 0; dropped < kKeyScanLimit; ++dropped) {
            if (m_pos == m_text.size()) {
                m_reachedEnd = true;
                return;
            }
            if (m_text[m_pos++] == ']')
                return;
        }
    }

    // The characters up to the next line end, which is consumed; empty once
    // the end has been reached.
    std::string ReadLine()
    {
        if (m_reachedEnd)
            return {};
        size_t lineEnd = m_text.find('\n', m_pos);
        if (lineEnd == std::string_view::npos) {
            m_reachedEnd = true;
            lineEnd = m_text.size();
        }
        std::string_view line = m_text.substr(m_pos, lineEnd - m_pos);
        m_pos = std::min(lineEnd + 1, m_text.size());
        return std::string(line.substr(0, line.find('\0')));
    }

private:
    std::string_view m_text;
    size_t m_pos = 0;
    bool m_reachedEnd = false;
};

bool StaysOneLine(std::string_view folder)
{
    return folder.find_first_of(std::string_view("\n\0", 2)) == std::string_view::npos;
}

}  // namespace

SettingsRead ReadSettingsBytes(std::string_view fileBytes)
{
    std::string text = TextModeView(fileBytes);
    TextCursor cursor(text);
    SettingsRead read;
    // Every pass that does not reach the end consumes a line end, so the loop
    // ends after at most one pass per line.
    do {
        cursor.SkipKey();
        read.passes.push_back(cursor.ReadLine());
    } while (!cursor.ReachedEnd());
    read.inputFolder = read.passes[0];
    if (read.passes.size() > 1)
        read.outputFolder = read.passes[1];
    return read;
}

std::optional<std::string> WriteSettingsBytes(std::string_view inputFolder,
                                              std::string_view outputFolder)
{
    if (!StaysOneLine(inputFolder) || !StaysOneLine(outputFolder))
        return std::nullopt;
    std::string bytes;
    bytes.reserve(inputFolder.size() + outputFolder.size() + 19);
    bytes.append("[INPUT]").append(inputFolder).append("\r\n");
    bytes.append("[OUTPUT]").append(outputFolder).append("\r\n");
    return bytes;
}
