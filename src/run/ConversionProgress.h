#pragma once
// What counts as done during a run: a file whose output the run has written
// (see RunBaseline), looked at in line order (see LineProgress).
#include "script/ConversionScript.h"
#include "run/LineProgress.h"
#include "run/RunBaseline.h"

class ConversionProgress {
public:
    ConversionProgress(const ConversionScript& script, const RunBaseline& baseline);

    // A few file look-ups; see LineProgress::Poll.
    void Poll();
    // The run has ended without a stop.
    void Finish() { m_lines.Finish(); }

    size_t Total() const { return m_lines.Lines(); }
    size_t Done() const { return m_lines.Done(); }
    // Lines whose output was seen, or that came before one that was.
    size_t Reached() const { return m_lines.Reached(); }
    // The file being converted: its number from 1, and its name. Without
    // files, zero and an empty name.
    size_t CurrentNumber() const { return Total() == 0 ? 0 : m_lines.Current() + 1; }
    const std::wstring& CurrentName() const;

private:
    const ConversionScript& m_script;
    const RunBaseline& m_baseline;
    LineProgress m_lines;
};
