#include "run/ConversionProgress.h"

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
