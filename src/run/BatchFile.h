#pragma once
// uncompress.bat in the working folder: written, then held for the whole run
// so that no other run can rewrite or delete it while the interpreter reads it.
#include "afx/afx.h"
#include <string>

extern const wchar_t kBatchFileName[];

// The batch file's full path in the working folder, so that a stray
// uncompress.bat beside the executable is never run instead.
std::wstring BatchFilePath();

// Whether another run holds the batch file: it cannot be opened for writing
// because it is open elsewhere without write sharing. The run's processes
// inherit the hold (see BatchRun::Start), so this holds for every spelling
// of the folder, every session and every computer using the share, also
// after the Parvane that started the run has ended. Changes nothing.
bool BatchFileInUse(const std::wstring& path);

// Writes the bytes to the batch file and keeps it open, shared for reading
// only, until the returned handle is closed; the handle is not inheritable. Empty when another run holds the
// file. Throws CFileException when it cannot be written for another reason.
ScopedFileHandle WriteAndHoldBatchFile(const std::wstring& path, const std::string& bytes);
