#pragma once
// What a file-set needs after the run, so that its DICOMDIR stays true: each
// file that dcmdjpeg did not decode is copied as it is (into another output
// folder; in place it stays), and the DICOMDIR is written again with each
// record naming its file's transfer syntax, beside its final name first and
// then put in place, so that it is never left half-written.
#include "afx/afx.h"
#include "fileset/FileSet.h"
#include "script/ConversionScript.h"
#include <vector>

// After the check of the outputs: the script's skipped files say which
// lines gave no output. A copy made changes that file's reason to
// CopiedUnchanged; a DICOMDIR that cannot be put in place is listed.
void CompleteFileSets(std::vector<FileSet>& fileSets, ConversionScript& script, const CString& inputFolder,
                      const CString& outputFolder, bool inPlace);
