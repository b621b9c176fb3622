#include "gather/Folders.h"
#include "disk/FolderListing.h"

bool FolderFound(const CString& folder)
{
    CFileFind finder;
    return finder.FindFile(folder + L"*");
}

bool CreateOutputFolder(const CString& folder)
{
    return ::CreateDirectoryW(folder, nullptr) != FALSE;
}

std::wstring ParentFolder(const std::wstring& folder)
{
    size_t end = folder.size() > 1 ? folder.find_last_of(L'\\', folder.size() - 2) : std::wstring::npos;
    return end == std::wstring::npos ? folder : folder.substr(0, end + 1);
}

bool ParentFolderFound(const CString& folder)
{
    const std::wstring parent = ParentFolder(folder.Str());
    return parent == folder.Str() || FolderFound(CString(parent));
}

bool SameFile(const std::wstring& a, const std::wstring& b)
{
    // A file system that gives no index (or 0, which tells nothing) is
    // answered by the paths instead.
    const std::optional<FileId> first = FileIdentity(a), second = FileIdentity(b);
    if (!first || !second)
        return FoldCase(FullPath(a)) == FoldCase(FullPath(b));
    return *first == *second;
}

bool FoldersAreOne(const CString& inputFolder, const CString& outputFolder)
{
    return SameFile(inputFolder.Str(), outputFolder.Str());
}
