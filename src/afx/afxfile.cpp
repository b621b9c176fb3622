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
    const wchar_t* mode = (openFlags & modeCreate) ? L"wt" : L"r+t";
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
