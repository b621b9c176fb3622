#pragma once
// The job behind the batch-convert button: the folder tests, the output
// folder's creation and the gathering of one conversion line per file.
// Knows nothing of the dialog; the caller turns the results into boxes.
#include "afx/afx.h"
#include "convert/ConversionScript.h"

// Whether a search of the folder (ending in a backslash) finds any entry. An
// existing folder other than a drive's root always holds "." and "..".
bool FolderFound(const CString& folder);

// Creates the last folder of the path only.
bool CreateOutputFolder(const CString& folder);

// One line for every plain file of the input folder, in the order the
// platform's search delivers them; subfolders are skipped, never entered.
ConversionScript GatherConversionScript(const CString& inputFolder, const CString& outputFolder);
