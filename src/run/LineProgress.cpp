#include "run/LineProgress.h"
#include <algorithm>

namespace {

// After a stop, lines without output looked at in a row before the rest are
// taken as never started.
constexpr size_t kUnwrittenStretchAfterStop = 64;

}  // namespace

size_t LineProgress::Current() const
{
    if (m_finished || m_seen >= m_lines)
        return m_lines > 0 ? m_lines - 1 : 0;
    return m_seen;
}

// Moves past the lines right after those seen whose outputs are there.
bool LineProgress::Advance(const OutputWritten& written)
{
    const size_t before = m_seen;
    while (m_seen < m_lines && written(m_seen))
        ++m_seen;
    return m_seen != before;
}

// An output further on: every line before it has run.
bool LineProgress::PassTo(size_t line, const OutputWritten& written)
{
    if (!written(line))
        return false;
    m_seen = line + 1;
    Advance(written);
    return true;
}

void LineProgress::ResetSweep()
{
    m_nearCursor = 0;
    m_farCursor = kNearWindow;
    m_farEnd = 2 * kNearWindow;
}

// Looks at kSweepLines lines from the line from on: in the near window, or
// in the far region, by turns.
bool LineProgress::Sweep(size_t from, const OutputWritten& written)
{
    const bool far = m_farTurn;
    m_farTurn = !m_farTurn;
    size_t& cursor = far ? m_farCursor : m_nearCursor;
    const size_t begin = far ? kNearWindow : 0;
    for (size_t looked = 0; looked < kSweepLines; ++looked) {
        const size_t end = far ? m_farEnd : kNearWindow;
        if (cursor >= end || from + cursor >= m_lines) {
            if (far && from + m_farEnd < m_lines)
                m_farEnd *= 2;  // looked through: further out next time
            cursor = begin;
            if (from + cursor >= m_lines)
                return false;
        }
        if (PassTo(from + cursor++, written))
            return true;
    }
    return false;
}

void LineProgress::Poll(const OutputWritten& written)
{
    if (m_finished)
        return;
    if (Advance(written)) {
        ResetSweep();
        return;
    }
    // The first line without output is still running, or has failed.
    const size_t nearEnd = std::min(m_seen + 1 + kNearLines, m_lines);
    for (size_t line = m_seen + 1; line < nearEnd; ++line) {
        if (PassTo(line, written)) {
            ResetSweep();
            return;
        }
    }
    if (Sweep(nearEnd, written))
        ResetSweep();
}

size_t FirstLineNotReached(size_t lines, size_t reached, const LineProgress::OutputWritten& written)
{
    size_t firstNotReached = std::min(reached, lines);
    size_t unwritten = 0;
    for (size_t line = firstNotReached; line < lines && unwritten < kUnwrittenStretchAfterStop; ++line) {
        if (written(line)) {
            firstNotReached = line + 1;
            unwritten = 0;
        } else {
            ++unwritten;
        }
    }
    return firstNotReached;
}
