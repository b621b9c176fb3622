#pragma once
// The job behind the batch-convert button: the folder tests, the output
// folder's creation, the gathering of one conversion line per file and, after
// the run, the files that were not converted. Knows nothing of the dialog;
// the caller turns the results into boxes.
#include "afx/afx.h"
#include "convert/ConversionScript.h"
#include "convert/RunBaseline.h"
#include "convert/WorkProgress.h"
#include <cstdint>

// Whether a search of the folder (ending in a backslash) finds any entry. An
// existing folder other than a drive's root always holds "." and "..".
bool FolderFound(const CString& folder);

// Creates the last folder of the path only.
bool CreateOutputFolder(const CString& folder);

// Whether the folder above the given one (ending in a backslash) exists, as
// its creation needs; true when the text names none above it.
bool ParentFolderFound(const CString& folder);

// Writes text as the interpreter reads the batch file: in the OEM code page,
// the code page of the console it gets (932 on a Japanese Windows). False
// when the text has no exact form there, or none in the ANSI code page in
// which dcmdjpeg receives its arguments.
bool EncodeForBatchFile(std::wstring_view text, std::string& bytes);

// One line for every plain file of the input folder, in the order the
// platform's search delivers them; subfolders are skipped, never entered.
// With progress, counts the files found and ends early when a stop is asked.
ConversionScript GatherConversionScript(const CString& inputFolder, const CString& outputFolder,
                                        WorkProgress* progress = nullptr);

// The room the outputs need on the output folder's disk and what is free
// there for this user. Each input's header gives the most its output can
// take; the file each output replaces (with both folders one, its original)
// gives its room back; both as the baseline recorded them, in whole clusters
// of the disk. A folder still to be created is measured on its parent.
struct DiskSpace {
    uint64_t needed = 0;
    uint64_t margin = 0;  // kept free beyond the need (see RoomMargin)
    uint64_t available = 0;
    uint64_t clusterSize = 0;
    bool measured = false;  // false when the disk's free space could not be asked
    size_t unestimated = 0;  // outputs whose size no bound could be had for, not in needed
    bool Enough() const { return measured && needed + margin <= available; }
};
DiskSpace MeasureDiskSpace(const RunBaseline& baseline, const CString& outputFolder);

// Whether both folders name one: the outputs then replace their inputs.
bool FoldersAreOne(const CString& inputFolder, const CString& outputFolder);

// Marks every file with a line that did not convert: its output was not
// written during the run (see RunBaseline), with the reason its input gives;
// or the output is not a whole uncompressed DICOM file, or could not be read.
// With progress, counts the files checked.
void MarkFilesNotConverted(ConversionScript& script, const CString& inputFolder, const RunBaseline& baseline,
                           WorkProgress* progress = nullptr);
