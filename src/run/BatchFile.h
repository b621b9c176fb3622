#pragma once
// uncompress.bat in the working folder: written, then held for the whole run
// so that no other run can rewrite or delete it while the interpreter reads it.
#include "afx/afx.h"
#include <string>

extern const wchar_t kBatchFileName[];

// The batch file's full path in the working folder, so that a stray
// uncompress.bat beside the executable is never run instead.
std::wstring BatchFilePath();

// Whether another run holds the batch file: a run of this working folder is
// marked (see CreateRunMarker), or the file cannot be opened for writing
// because it is open elsewhere without write sharing. Changes nothing.
bool BatchFileInUse(const std::wstring& path);

// A named object that marks a run of this working folder's batch file, made
// inheritable: the interpreter inherits it and the programs it starts inherit
// it from the interpreter, so it lives as long as the run's processes, also
// when this program is ended during the run. The interpreter reads the batch
// file anew for each line and does not hold it; without the mark, a Parvane
// started then would rewrite the file under the running interpreter. Empty
// when a run of this working folder is marked already.
ScopedKernelHandle CreateRunMarker();

// Writes the bytes to the batch file and keeps it open, shared for reading
// only, until the returned handle is closed. Empty when another run holds the
// file. Throws CFileException when it cannot be written for another reason.
ScopedFileHandle WriteAndHoldBatchFile(const std::wstring& path, const std::string& bytes);
