#pragma once
// What the click asks of the two folders before anything is gathered: whether
// each is there, whether the output folder can be made, and whether both
// name one folder.
#include "afx/afx.h"
#include <string>

// Whether a search of the folder (ending in a backslash) finds any entry. An
// existing folder other than a drive's root always holds "." and "..".
bool FolderFound(const CString& folder);

// Creates the last folder of the path only.
bool CreateOutputFolder(const CString& folder);

// The folder that holds the given one (both end in a backslash); the folder
// itself when the text names none above it.
std::wstring ParentFolder(const std::wstring& folder);

// Whether the folder above the given one (ending in a backslash) exists, as
// its creation needs; true when the text names none above it.
bool ParentFolderFound(const CString& folder);

// Whether both paths name one file or folder: the same volume and file index.
bool SameFile(const std::wstring& a, const std::wstring& b);

// Whether both folders name one: the outputs then replace their inputs.
bool FoldersAreOne(const CString& inputFolder, const CString& outputFolder);
