#pragma once
// Runs the conversion script: writes it to uncompress.bat in the working
// folder, starts the command interpreter on it and waits until it has ended.
#include "afx/afx.h"
#include <string>

extern const wchar_t kBatchFileName[];

struct BatchRun {
    bool started = false;
    FILETIME startTime{};  // just before the interpreter was started
};

// Throws CFileException when the batch file cannot be created or written;
// nothing is started then.
BatchRun RunBatchFile(const std::string& batchBytes);

// The interpreter's command line for the batch file at batchPath: no AutoRun
// commands (/d), no delayed expansion (/v:off), so that neither a registry
// setting nor a "!" in a name changes what the lines do.
std::wstring InterpreterCommandLine(const std::wstring& batchPath);
