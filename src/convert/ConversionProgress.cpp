#include "convert/ConversionProgress.h"
#include <algorithm>

namespace {

LineProgress::OutputWritten OutputOfLine(const RunBaseline& baseline)
{
    return [&baseline](size_t line) { return baseline.OutputWritten(line); };
}

}  // namespace

ConversionProgress::ConversionProgress(const ConversionScript& script, const RunBaseline& baseline)
    : m_script(script), m_baseline(baseline), m_lines(script.FilesWithLine().size())
{
}

void ConversionProgress::Poll()
{
    m_lines.Poll(OutputOfLine(m_baseline));
}

const std::wstring& ConversionProgress::CurrentName() const
{
    static const std::wstring none;
    return Total() == 0 ? none : m_script.FilesWithLine()[m_lines.Current()];
}

void MarkFilesNotReached(ConversionScript& script, const RunBaseline& baseline, size_t reached,
                         std::optional<size_t> linesStarted)
{
    const size_t lines = script.FilesWithLine().size();
    // A line whose output was seen was started, whatever the count says.
    const size_t firstNotReached = linesStarted ? std::max(*linesStarted, reached)
                                                : FirstLineNotReached(lines, reached, OutputOfLine(baseline));
    script.MarkNotReached(std::min(firstNotReached, lines));
}
