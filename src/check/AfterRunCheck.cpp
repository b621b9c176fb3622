#include "check/AfterRunCheck.h"
#include "check/RunOutcome.h"
#include "dicom/FileByteSource.h"
#include "gather/Folders.h"
#include "run/LineProgress.h"
#include <algorithm>
#include <unordered_set>

void MarkFilesNotReached(ConversionScript& script, const RunBaseline& baseline, size_t reached,
                         std::optional<size_t> linesStarted)
{
    const size_t lines = script.FilesWithLine().size();
    const LineProgress::OutputWritten written = [&baseline](size_t line) { return baseline.OutputWritten(line); };
    // A line whose output was seen was started, whatever the count says.
    const size_t firstNotReached =
        linesStarted ? std::max(*linesStarted, reached) : FirstLineNotReached(lines, reached, written);
    script.MarkNotReached(std::min(firstNotReached, lines));
}

void MarkFilesAfterLastOutputNotReached(ConversionScript& script, const RunBaseline& baseline)
{
    size_t firstNotReached = script.FilesWithLine().size();
    while (firstNotReached > 0 && !baseline.OutputWritten(firstNotReached - 1))
        --firstNotReached;
    script.MarkNotReached(firstNotReached);
}

void MarkLinesNotStarted(ConversionScript& script, const std::vector<std::wstring>& notStarted)
{
    if (notStarted.empty())
        return;
    const std::unordered_set<std::wstring> paths(notStarted.begin(), notStarted.end());
    for (size_t i = 0; i < script.Skipped().size(); ++i) {
        const SkippedFile& file = script.Skipped()[i];
        if (GaveNoOutput(file.reason) && paths.count(file.name) != 0)
            script.ChangeReason(i, SkipReason::LineProgramNotStarted);
    }
}

namespace {

// What the output's check finds; an output that cannot be opened is not read.
WholeFileVerdict CheckOutput(const std::wstring& output)
{
    FileByteSource source(output);
    return source.IsOpen() ? CheckWholeUncompressed(source) : WholeFileVerdict::ReadFailed;
}

// Why dcmdjpeg wrote no output for the line, from its input; a file too
// small to be DICOM is not opened for it.
SkipReason ReasonFromInput(const RunBaseline& baseline, size_t line, const std::wstring& input)
{
    if (baseline.InputTooSmallForDicom(line))
        return SkipReason::NotDicom;
    FileByteSource source(input);
    return source.IsOpen() ? ReasonForMissingOutput(ReadDicomHeader(source)) : SkipReason::NotConverted;
}

// What the line's check finds: nothing when its file converted.
std::optional<SkipReason> CheckLine(const ConversionScript& script, const std::wstring& inputFolder,
                                    const RunBaseline& baseline, size_t line)
{
    const std::wstring& name = script.FilesWithLine()[line];
    const std::wstring input = inputFolder + name, output = script.OutputFolder() + name;
    const std::optional<bool> written = baseline.OutputWrittenIfKnown(line);
    if (!written)
        return SkipReason::OutputNotLookedUp;
    if (!*written)
        return ReasonFromInput(baseline, line, input);
    // Whether the output replaced its input costs two opens: asked only of an
    // output that is not whole.
    const WholeFileVerdict verdict = CheckOutput(output);
    std::optional<SkipReason> reason = ReasonForWrittenOutput(verdict, baseline.InputHadPixelData(line), false);
    if (reason == SkipReason::OutputIncomplete)
        reason = ReasonForWrittenOutput(verdict, baseline.InputHadPixelData(line), SameFile(input, output));
    return reason;
}

}  // namespace

OutputChecks::OutputChecks(const ConversionScript& script, const CString& inputFolder, const RunBaseline& baseline)
    : m_script(script), m_inputFolder(inputFolder.Str()), m_baseline(baseline),
      m_reasons(script.FilesWithLine().size())
{
}

void OutputChecks::CheckBefore(size_t done)
{
    for (; m_checked < done && m_checked < m_reasons.size(); ++m_checked)
        m_reasons[m_checked] = CheckLine(m_script, m_inputFolder, m_baseline, m_checked);
}

void MarkFilesNotConverted(ConversionScript& script, const CString& inputFolder, const RunBaseline& baseline,
                           WorkProgress* progress, const OutputChecks* earlier)
{
    const std::vector<std::wstring>& names = script.FilesWithLine();
    std::vector<SkippedFile> notConverted;
    if (progress)
        progress->total = names.size();
    const size_t checkedEarlier = earlier ? std::min(earlier->Checked(), names.size()) : 0;
    for (size_t line = 0; line < names.size(); ++line) {
        if (progress)
            progress->Step();
        const std::optional<SkipReason> reason = line < checkedEarlier ? earlier->Reason(line)
                                                                       : CheckLine(script, inputFolder.Str(), baseline, line);
        if (reason)
            notConverted.push_back({ names[line], *reason });
    }
    for (const SkippedFile& file : notConverted)
        script.MarkNotConverted(file.name, file.reason);
}
