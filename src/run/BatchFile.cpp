#include "run/BatchFile.h"
#include <algorithm>

const wchar_t kBatchFileName[] = L"uncompress.bat";

namespace {

std::wstring WorkingFolder()
{
    DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    DWORD length = ::GetCurrentDirectoryW(size, &folder[0]);
    folder.resize(length);
    if (folder.empty() || folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

// Opened for reading, shared for reading only: the interpreter can read it,
// nobody can open it for writing or delete it.
HANDLE OpenForHolding(const std::wstring& path)
{
    return ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
}

bool HoldsBytes(HANDLE file, const std::string& bytes)
{
    std::string held(bytes.size() + 1, '\0');
    size_t total = 0;
    for (;;) {
        DWORD read = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(held.size() - total, 1u << 24));
        if (!::ReadFile(file, &held[total], chunk, &read, nullptr))
            return false;
        if (read == 0)
            break;
        total += read;
        if (total == held.size())
            return false;  // longer than what was written
    }
    held.resize(total);
    return held == bytes;
}

}  // namespace

// The interpreter expands %name% on its own command line, where it cannot be
// escaped; a working folder holding "%" is named relatively, which the
// interpreter, started in the same working folder, resolves without searching.
std::wstring BatchFilePath()
{
    std::wstring folder = WorkingFolder();
    if (folder.find(L'%') != std::wstring::npos)
        folder = L".\\";
    return folder + kBatchFileName;
}

bool BatchFileInUse(const std::wstring& path)
{
    ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file.IsValid() && ::GetLastError() == ERROR_SHARING_VIOLATION;
}

ScopedFileHandle WriteAndHoldBatchFile(const std::wstring& path, const std::string& bytes)
{
    {
        CFile file;
        CFileException error;
        if (!file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite, &error)) {
            if (error.m_lOsError == ERROR_SHARING_VIOLATION)
                return ScopedFileHandle();
            throw error;
        }
        file.Write(bytes.data(), bytes.size());
        file.Close();
    }
    // A handle that can write would make every reader share writing, so the
    // file is opened anew. Should another run have written it in between,
    // either it holds the file now or the file holds its lines: that run goes
    // on, this one does not start.
    ScopedFileHandle held(OpenForHolding(path));
    if (!held.IsValid()) {
        if (::GetLastError() == ERROR_SHARING_VIOLATION)
            return held;
        throw CFileException(CFileException::genericException, path, static_cast<long>(::GetLastError()));
    }
    if (!HoldsBytes(held.Get(), bytes))
        held.Reset();
    return held;
}
