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
    auto identify = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
        ScopedFileHandle file(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        return file.IsValid() && ::GetFileInformationByHandle(file.Get(), &info);
    };
    BY_HANDLE_FILE_INFORMATION first, second;
    if (!identify(a, first) || !identify(b, second))
        return false;
    // Some file systems give every file the index 0: that tells nothing, and
    // the paths are compared instead.
    if ((first.nFileIndexHigh | first.nFileIndexLow) == 0 || (second.nFileIndexHigh | second.nFileIndexLow) == 0)
        return FoldCase(FullPath(a)) == FoldCase(FullPath(b));
    return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

bool FoldersAreOne(const CString& inputFolder, const CString& outputFolder)
{
    return SameFile(inputFolder.Str(), outputFolder.Str());
}
