#pragma once
// The check after a run: which files with a line were not converted, and why.
#include "afx/afx.h"
#include "run/RunBaseline.h"
#include "run/WorkProgress.h"
#include "script/ConversionScript.h"
#include <optional>

// After a stop: marks the files whose lines the run never reached. Those are
// the lines after the ones started, when the run could count them
// (BatchRun::LinesStarted); else those after the last line whose output was
// written, looked for from the lines the progress had reached.
void MarkFilesNotReached(ConversionScript& script, const RunBaseline& baseline, size_t reached,
                         std::optional<size_t> linesStarted);

// Marks every file with a line that did not convert: its output was not
// written during the run (see RunBaseline), with the reason its input gives;
// or the output is not a whole uncompressed DICOM file, or could not be read.
// With progress, counts the files checked.
void MarkFilesNotConverted(ConversionScript& script, const CString& inputFolder, const RunBaseline& baseline,
                           WorkProgress* progress = nullptr);
