#include "disk/FolderListing.h"

namespace {

uint64_t Combine(DWORD high, DWORD low)
{
    return (static_cast<uint64_t>(high) << 32) | low;
}

bool IsDots(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

}  // namespace

std::vector<FolderEntry> ListFolder(const std::wstring& folder, bool* complete)
{
    std::vector<FolderEntry> entries;
    WIN32_FIND_DATAW found;
    ScopedFindHandle search(::FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &found,
                                               FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!search.IsValid()) {
        const DWORD error = ::GetLastError();
        if (complete)
            *complete = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return entries;
    }
    do {
        if (IsDots(found.cFileName))
            continue;
        FolderEntry entry;
        entry.name = found.cFileName;
        entry.attributes = found.dwFileAttributes;
        entry.size = Combine(found.nFileSizeHigh, found.nFileSizeLow);
        entry.lastWrite = Combine(found.ftLastWriteTime.dwHighDateTime, found.ftLastWriteTime.dwLowDateTime);
        if (entry.IsLink() && !entry.IsFolder())
            LinkTarget(folder + entry.name, entry.size, entry.lastWrite);
        entries.push_back(std::move(entry));
    } while (::FindNextFileW(search.Get(), &found));
    if (complete)
        *complete = ::GetLastError() == ERROR_NO_MORE_FILES;
    return entries;
}

std::wstring FoldCase(const std::wstring& name)
{
    if (name.empty())
        return name;
    std::wstring folded(name.size() * 2, L'\0');
    const int length = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, name.c_str(),
                                       static_cast<int>(name.size()), &folded[0], static_cast<int>(folded.size()),
                                       nullptr, nullptr, 0);
    if (length <= 0)
        return name;
    folded.resize(static_cast<size_t>(length));
    return folded;
}

std::pair<std::wstring, std::wstring> SplitFolder(const std::wstring& path)
{
    const size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos)
        return { std::wstring(), path };
    return { path.substr(0, slash + 1), path.substr(slash + 1) };
}

std::wstring FullPath(const std::wstring& path)
{
    const DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return path;
    std::wstring full(length, L'\0');
    const DWORD written = ::GetFullPathNameW(path.c_str(), length, &full[0], nullptr);
    full.resize(written < length ? written : 0);
    return full.empty() ? path : full;
}

bool LinkTarget(const std::wstring& path, uint64_t& size, uint64_t& lastWrite)
{
    // No access asked beyond the attributes, so that no sharing mode of
    // another program refuses it; without FILE_FLAG_OPEN_REPARSE_POINT the
    // open follows the link.
    ScopedFileHandle file(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!file.IsValid() || !::GetFileInformationByHandle(file.Get(), &info))
        return false;
    size = Combine(info.nFileSizeHigh, info.nFileSizeLow);
    lastWrite = Combine(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
    return true;
}

std::optional<FileId> FileIdentity(const std::wstring& path)
{
    // No access asked beyond the attributes, so that no sharing mode of
    // another program refuses it; a folder opens too.
    ScopedFileHandle file(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!file.IsValid() || !::GetFileInformationByHandle(file.Get(), &info))
        return std::nullopt;
    const uint64_t index = Combine(info.nFileIndexHigh, info.nFileIndexLow);
    if (index == 0)
        return std::nullopt;
    return FileId{ info.dwVolumeSerialNumber, index };
}
