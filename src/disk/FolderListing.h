#pragma once
// What the file system says of a folder: its entries in one listing, and file
// names compared as Windows compares them.
#include "afx/afx.h"
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct FolderEntry {
    std::wstring name;
    DWORD attributes = 0;
    uint64_t size = 0;
    uint64_t lastWrite = 0;  // the file system's own stamp

    bool IsFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // A link or junction: any reparse point.
    bool IsLink() const { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
};

// Every entry of the folder (ending in a backslash) but "." and "..", in the
// order the platform's search delivers them. A link to a file is described
// by the file it leads to (its size and stamp), as a program that opens it
// sees it; the listing alone would give the link's own. Only "no more files"
// ends a listing: complete, when given, is false when it ended on another
// error (a network blip, access denied), so that the entries are not all.
// A folder that is not there lists as complete and empty.
std::vector<FolderEntry> ListFolder(const std::wstring& folder, bool* complete = nullptr);

// File names compare without regard to case on Windows volumes: the output
// of "a.dcm" in a folder holding "A.DCM" replaces that file.
std::wstring FoldCase(const std::wstring& name);

// A path's folder part, with its backslash (empty when it has none), and the
// name after it.
std::pair<std::wstring, std::wstring> SplitFolder(const std::wstring& path);

// The path made whole as Windows makes it (against the working folder, for
// a relative one); the path as given when that fails.
std::wstring FullPath(const std::wstring& path);

// The size and stamp of the file at path, following a link to its target;
// false when it cannot be opened.
bool LinkTarget(const std::wstring& path, uint64_t& size, uint64_t& lastWrite);

// A file's or folder's volume and index; absent when it cannot be opened or
// the file system gives the index 0, which tells nothing.
struct FileId {
    DWORD volume = 0;
    uint64_t index = 0;
    bool operator<(const FileId& other) const
    {
        return volume != other.volume ? volume < other.volume : index < other.index;
    }
    bool operator==(const FileId& other) const { return volume == other.volume && index == other.index; }
    bool operator!=(const FileId& other) const { return !(*this == other); }
};
std::optional<FileId> FileIdentity(const std::wstring& path);
