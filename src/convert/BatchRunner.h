#pragma once
// Runs the conversion script: writes it to uncompress.bat in the working
// folder, starts the command interpreter on it and waits until it has ended.
#include "afx/afx.h"

extern const wchar_t kBatchFileName[];

enum class BatchRunResult { Finished, NotStarted };

// Throws CFileException when the batch file cannot be created or written;
// nothing is started then.
BatchRunResult RunBatchFile(const CString& script);
