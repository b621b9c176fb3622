#pragma once
// How far a run of the batch file has come, told from the outputs its lines
// have written. The interpreter runs the lines in order, each to its end, so
// an output written by line i means that every line before i has finished. A
// failing line writes no output; the lines after it show how far the run has
// gone. Plain C++: the caller supplies the look at one line's output.
#include <cstddef>
#include <functional>

class LineProgress {
public:
    // Whether the output of the line has been written since the run started.
    using OutputWritten = std::function<bool(size_t line)>;

    // Lines looked at right after the first one without output, when it has
    // none yet: a few failing lines are passed at the next poll.
    static constexpr size_t kNearLines = 4;
    // Further lines looked at per poll, continuing where the last poll
    // stopped: a longer stretch of failing lines is passed in time.
    static constexpr size_t kSweepLines = 4;

    explicit LineProgress(size_t lines) : m_lines(lines) {}

    // Looks at a few outputs, never at every line: the lines whose outputs
    // appeared since the last poll, plus at most kNearLines + kSweepLines more.
    void Poll(const OutputWritten& written);
    // The run has ended without a stop: every line has run.
    void Finish() { m_done = m_lines; }

    size_t Lines() const { return m_lines; }
    // Lines known to have run: every line up to the last one seen written.
    size_t Done() const { return m_done; }
    // The line being converted, as far as the outputs tell: the first one
    // after those done; the last line once all are done. Zero without lines.
    size_t Current() const { return m_done < m_lines ? m_done : (m_lines > 0 ? m_lines - 1 : 0); }

private:
    bool Advance(const OutputWritten& written);
    bool PassTo(size_t line, const OutputWritten& written);

    size_t m_lines;
    size_t m_done = 0;
    size_t m_sweep = 0;
};

// After a stop: the first line that never started, the one after the last
// line whose output was written. Looks from the end backwards.
size_t FirstLineNotReached(size_t lines, const LineProgress::OutputWritten& written);
