#pragma once
// CFileFind and CStdioFile: directory search and text-file output.
#include "afxexcept.h"
#include "afxhandle.h"
#include "afxstr.h"
#include <cstdio>

// Keeps one entry in reserve: FindFile fetches the first entry without making it
// current; each FindNextFile makes the reserve current and fetches the next,
// returning zero when the entry it made current is the last.
class CFileFind {
public:
    BOOL FindFile(const wchar_t* pattern, DWORD unused = 0);
    BOOL FindNextFile();
    void Close();

    BOOL IsDots() const;
    BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    virtual BOOL MatchesMask(DWORD mask) const;
    CString GetFileName() const { return CString(m_current.cFileName); }
    ULONGLONG GetLength() const
    {
        return (static_cast<ULONGLONG>(m_current.nFileSizeHigh) << 32) | m_current.nFileSizeLow;
    }

    virtual ~CFileFind() = default;

private:
    ScopedFindHandle m_search;
    WIN32_FIND_DATAW m_reserve{};
    WIN32_FIND_DATAW m_current{};
    bool m_hasReserve = false;
    bool m_hasCurrent = false;
};

// A binary file for writing: the bytes reach the disk as given. Opening,
// writing and closing throw CFileException on failure.
class CFile {
public:
    enum OpenFlags : UINT { modeWrite = 0x0001, modeCreate = 0x1000 };
    CFile() = default;
    CFile(const wchar_t* fileName, UINT openFlags);
    virtual ~CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens without throwing; on failure fills error, when given, and returns FALSE.
    BOOL Open(const wchar_t* fileName, UINT openFlags, CFileException* error = nullptr);
    void Write(const void* data, size_t count);
    void Close();

private:
    CFileException FromLastError() const;
    [[noreturn]] void ThrowFromLastError() const;
    ScopedFileHandle m_file;
    std::wstring m_fileName;
};

// A text-mode file written through the run-time library's current locale.
// Opening, writing and closing throw CFileException on failure.
class CStdioFile {
public:
    CStdioFile(const wchar_t* fileName, UINT openFlags);
    ~CStdioFile();
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;

    void WriteString(const wchar_t* text);
    void Close();

private:
    [[noreturn]] void ThrowFromErrno() const;
    std::FILE* m_stream = nullptr;
    std::wstring m_fileName;
};
