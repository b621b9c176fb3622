#pragma once
// The gathering of the files to convert: one line of the conversion script
// for each plain file of the input folder.
#include "afx/afx.h"
#include "run/WorkProgress.h"
#include "script/ConversionScript.h"

// One line for every plain file of the input folder, in the order the
// platform's search delivers them; subfolders are skipped, never entered.
// With progress, counts the files found and ends early when a stop is asked.
ConversionScript GatherConversionScript(const CString& inputFolder, const CString& outputFolder,
                                        WorkProgress* progress = nullptr);
