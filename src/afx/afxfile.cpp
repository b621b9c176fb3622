#include "afxfile.h"
#include <cerrno>
#include <cwchar>

BOOL CFileFind::FindFile(const wchar_t* pattern, DWORD)
{
    Close();
    m_search.Reset(::FindFirstFileW(pattern, &m_reserve));
    m_hasReserve = m_search.IsValid();
    return m_hasReserve;
}

BOOL CFileFind::FindNextFile()
{
    if (!m_hasReserve)
        return FALSE;
    m_current = m_reserve;
    m_hasCurrent = true;
    m_hasReserve = ::FindNextFileW(m_search.Get(), &m_reserve) != FALSE;
    return m_hasReserve;
}

void CFileFind::Close()
{
    m_search.Reset();
    m_hasReserve = false;
    m_hasCurrent = false;
}

BOOL CFileFind::IsDots() const
{
    if (!m_hasCurrent)
        return FALSE;
    const wchar_t* name = m_current.cFileName;
    return std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0;
}

BOOL CFileFind::MatchesMask(DWORD mask) const
{
    return m_hasCurrent && (m_current.dwFileAttributes & mask) != 0;
}

CStdioFile::CStdioFile(const wchar_t* fileName, UINT openFlags) : m_fileName(fileName)
{
    // Only the create-and-write use is needed: text mode, emptied if it exists.
    const wchar_t* mode = (openFlags & CFile::modeCreate) ? L"wt" : L"r+t";
    m_stream = ::_wfopen(fileName, mode);
    if (!m_stream)
        ThrowFromErrno();
}

CStdioFile::~CStdioFile()
{
    if (m_stream)
        std::fclose(m_stream);
}

void CStdioFile::WriteString(const wchar_t* text)
{
    if (std::fputws(text, m_stream) == WEOF || std::ferror(m_stream))
        ThrowFromErrno();
}

void CStdioFile::Close()
{
    std::FILE* stream = m_stream;
    m_stream = nullptr;
    if (stream && std::fclose(stream) != 0)
        ThrowFromErrno();
}

void CStdioFile::ThrowFromErrno() const
{
    CFileException::Cause cause = CFileException::genericException;
    switch (errno) {
    case ENOENT: cause = CFileException::fileNotFound; break;
    case EACCES: cause = CFileException::accessDenied; break;
    case ENOSPC: cause = CFileException::diskFull; break;
    case EINVAL: cause = CFileException::badPath; break;
    default: break;
    }
    throw CFileException(cause, m_fileName);
}

CFile::CFile(const wchar_t* fileName, UINT openFlags)
{
    CFileException error;
    if (!Open(fileName, openFlags, &error))
        throw error;
}

BOOL CFile::Open(const wchar_t* fileName, UINT openFlags, CFileException* error)
{
    m_fileName = fileName;
    const DWORD access = (openFlags & modeWrite) ? GENERIC_WRITE : GENERIC_READ;
    const DWORD disposition = (openFlags & modeCreate) ? CREATE_ALWAYS : OPEN_EXISTING;
    // No sharing: the file is held exclusively while it is open.
    m_file.Reset(::CreateFileW(fileName, access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (m_file.IsValid())
        return TRUE;
    if (error)
        *error = FromLastError();
    return FALSE;
}

void CFile::Write(const void* data, size_t count)
{
    const char* bytes = static_cast<const char*>(data);
    while (count > 0) {
        DWORD chunk = count > 0x10000000 ? 0x10000000 : static_cast<DWORD>(count);
        DWORD written = 0;
        if (!::WriteFile(m_file.Get(), bytes, chunk, &written, nullptr) || written != chunk)
            ThrowFromLastError();
        bytes += written;
        count -= written;
    }
}

void CFile::Close()
{
    HANDLE file = m_file.Release();
    if (file != INVALID_HANDLE_VALUE && !::CloseHandle(file))
        ThrowFromLastError();
}

CFileException CFile::FromLastError() const
{
    const DWORD code = ::GetLastError();
    CFileException::Cause cause = CFileException::genericException;
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: cause = CFileException::fileNotFound; break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: cause = CFileException::accessDenied; break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: cause = CFileException::diskFull; break;
    case ERROR_INVALID_NAME: cause = CFileException::badPath; break;
    default: break;
    }
    return CFileException(cause, m_fileName, static_cast<long>(code));
}

void CFile::ThrowFromLastError() const
{
    throw FromLastError();
}
