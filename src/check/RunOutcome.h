#pragma once
// What became of each file of a run, decided from what the DICOM structure
// reader found in its input and its output. Plain C++; the caller reads the files.
#include "dicom/DicomStructure.h"
#include "script/SkipReason.h"
#include <optional>

// Why an input gave no output: a reason found in the input itself.
SkipReason ReasonForMissingOutput(const DicomHeader& input);

// An output that is not a whole uncompressed DICOM file. When both folders
// are one, the cut-short output has replaced its original.
SkipReason ReasonForIncompleteOutput(bool replacedOriginal);

// What the check of an output written during the run found: nothing when it
// is converted. A whole output without pixel data is converted when its input
// held none either (a report, an RT plan, a waveform); when the input held
// pixel data, or could not be read before the run, it may have been cut
// before its pixel data. An output that could not be read (ReadFailed) was
// not checked, which says nothing of its state.
std::optional<SkipReason> ReasonForWrittenOutput(WholeFileVerdict verdict, std::optional<bool> inputHadPixelData,
                                                 bool replacedOriginal);
