#pragma once
// A DICOM file-set found in the input: a folder whose DICOMDIR names the files
// to convert, at any depth below it. The DICOMDIR itself is never given to
// dcmdjpeg; after the run it is written again, naming each file's syntax.
#include "dicom/DicomDirectory.h"
#include <cstdint>
#include <string>
#include <vector>

struct FileSet {
    std::wstring folder;         // below the input folder: empty, or ending in a backslash
    std::wstring directoryName;  // the DICOMDIR's own name, as the folder spells it
    uint64_t directorySize = 0;
    DicomDirectory directory;
    // For each of directory.FileRecords(): the path below the input folder of
    // the file whose line it got; empty when the record's file got none.
    std::vector<std::wstring> recordFiles;
};

// Each file-set's DICOMDIR, by its path below the input folder.
inline std::vector<std::wstring> FileSetDirectories(const std::vector<FileSet>& fileSets)
{
    std::vector<std::wstring> paths;
    for (const FileSet& fileSet : fileSets)
        paths.push_back(fileSet.folder + fileSet.directoryName);
    return paths;
}
