#pragma once
// The check after a run: which files with a line were not converted, and why.
#include "afx/afx.h"
#include "run/RunBaseline.h"
#include "run/WorkProgress.h"
#include "script/ConversionScript.h"
#include <optional>
#include <string>
#include <vector>

// After a stop: marks the files whose lines the run never reached. Those are
// the lines after the ones started, when the run could count them
// (BatchRun::LinesStarted); else those after the last line whose output was
// written, looked for from the lines the progress had reached.
void MarkFilesNotReached(ConversionScript& script, const RunBaseline& baseline, size_t reached,
                         std::optional<size_t> linesStarted);

// After a run cut off together with this program, when nothing counted the
// lines it started: marks the files of the lines after the last whose output
// was written as never reached.
void MarkFilesAfterLastOutputNotReached(ConversionScript& script, const RunBaseline& baseline);

// Gives each file whose line did not start its program (see LineStarts), and
// which got a reason for a missing output, that reason instead: the file was
// never given to dcmdjpeg. notStarted: the paths of those lines.
void MarkLinesNotStarted(ConversionScript& script, const std::vector<std::wstring>& notStarted);

// The checks of the outputs, made while the run goes on for the lines it has
// passed (their dcmdjpeg has ended), so that little is left after it. Used by
// one thread at a time; the script and the baseline must outlive it.
class OutputChecks {
public:
    OutputChecks(const ConversionScript& script, const CString& inputFolder, const RunBaseline& baseline);
    // Checks the lines before done that are not checked yet.
    void CheckBefore(size_t done);
    // The lines from the first that are checked.
    size_t Checked() const { return m_checked; }
    std::optional<SkipReason> Reason(size_t line) const { return m_reasons.at(line); }

private:
    const ConversionScript& m_script;
    std::wstring m_inputFolder;
    const RunBaseline& m_baseline;
    std::vector<std::optional<SkipReason>> m_reasons;
    size_t m_checked = 0;
};

// Marks every file with a line that did not convert: its output was not
// written during the run (see RunBaseline), with the reason its input gives;
// or the output is not a whole uncompressed DICOM file, or could not be read.
// The lines checked earlier keep their verdict. With progress, counts the
// files checked.
void MarkFilesNotConverted(ConversionScript& script, const CString& inputFolder, const RunBaseline& baseline,
                           WorkProgress* progress = nullptr, const OutputChecks* earlier = nullptr);
