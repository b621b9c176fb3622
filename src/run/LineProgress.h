#pragma once
// How far a run of the batch file has come, told from the outputs its lines
// have written. The interpreter runs the lines in order, each to its end, so
// an output written by line i means that every line before i has finished;
// line i itself may still be writing it. A failing line writes no output;
// the lines after it show how far the run has gone. Plain C++: the caller
// supplies the look at one line's output.
#include <cstddef>
#include <functional>

class LineProgress {
public:
    // Whether the output of the line has been written since the run started.
    using OutputWritten = std::function<bool(size_t line)>;

    // Lines looked at right after the first one without output, when it has
    // none yet: a few failing lines are passed at the next poll.
    static constexpr size_t kNearLines = 4;
    // Further lines looked at per poll, beyond those: every other poll in a
    // window right after them, so that a short stretch of failing lines is
    // passed within a second or two; every other poll further out, in a
    // region that doubles each time it has been looked through, so that any
    // stretch is passed in the end.
    static constexpr size_t kSweepLines = 4;
    static constexpr size_t kNearWindow = 4 * kSweepLines;

    explicit LineProgress(size_t lines) : m_lines(lines) {}

    // Looks at a few outputs, never at every line: the lines whose outputs
    // appeared since the last poll, plus at most kNearLines + kSweepLines more.
    void Poll(const OutputWritten& written);
    // The run has ended without a stop: every line has run.
    void Finish() { m_finished = true; }

    size_t Lines() const { return m_lines; }
    // Lines known to have finished: those before the last line whose output
    // was seen, which may still be writing it; every line once finished.
    size_t Done() const { return m_finished ? m_lines : (m_seen > 0 ? m_seen - 1 : 0); }
    // Lines whose output was seen, or that came before one that was.
    size_t Reached() const { return m_seen; }
    // The line being converted, as far as the outputs tell: the first one
    // after those seen; the last line once all are seen. Zero without lines.
    size_t Current() const;

private:
    bool Advance(const OutputWritten& written);
    bool PassTo(size_t line, const OutputWritten& written);
    bool Sweep(size_t from, const OutputWritten& written);
    void ResetSweep();

    size_t m_lines;
    size_t m_seen = 0;
    bool m_finished = false;
    // The sweep, as distances from the first line after the near ones.
    bool m_farTurn = false;
    size_t m_nearCursor = 0;
    size_t m_farCursor = kNearWindow;
    size_t m_farEnd = 2 * kNearWindow;
};

// After a stop: the first line that never started, the one after the last
// line whose output was written. Looks forward from the lines the progress
// reached, and gives up after a stretch of lines without output that is
// longer than any the run could have passed since its last poll.
size_t FirstLineNotReached(size_t lines, size_t reached, const LineProgress::OutputWritten& written);
