#include "convert/LineProgress.h"
#include <algorithm>

// Moves past the lines right after those done whose outputs are there.
bool LineProgress::Advance(const OutputWritten& written)
{
    const size_t before = m_done;
    while (m_done < m_lines && written(m_done))
        ++m_done;
    return m_done != before;
}

// An output further on: every line before it has run.
bool LineProgress::PassTo(size_t line, const OutputWritten& written)
{
    if (!written(line))
        return false;
    m_done = line + 1;
    Advance(written);
    return true;
}

void LineProgress::Poll(const OutputWritten& written)
{
    if (Advance(written))
        return;
    // The first line without output is still running, or has failed.
    const size_t nearEnd = std::min(m_done + 1 + kNearLines, m_lines);
    for (size_t line = m_done + 1; line < nearEnd; ++line) {
        if (PassTo(line, written))
            return;
    }
    if (m_sweep < nearEnd || m_sweep >= m_lines)
        m_sweep = nearEnd;
    for (size_t looked = 0; looked < kSweepLines && m_sweep < m_lines; ++looked, ++m_sweep) {
        if (PassTo(m_sweep, written))
            return;
    }
}

size_t FirstLineNotReached(size_t lines, const LineProgress::OutputWritten& written)
{
    for (size_t line = lines; line > 0; --line) {
        if (written(line - 1))
            return line;
    }
    return 0;
}
