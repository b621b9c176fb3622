#include "settings/Settings.h"
#include "settings/SettingsFormat.h"
#include "ui/ParvaneDlg.h"
#include <cstdio>
#include <optional>
#include <string>

namespace {

const wchar_t kSettingsFile[] = L"param.ini";
const wchar_t kReadErrorText[] = L"Error:: [param.ini] Could not open...";
const wchar_t kReadErrorCaption[] = L"Param READ ERROR";
const wchar_t kWriteErrorText[] = L"Error:: [param.ini] Could not write...";
const wchar_t kWriteErrorCaption[] = L"Param WRITE ERROR";
// The file is Japanese text whatever the system's own code page is.
const UINT kFileCodePage = 932;
const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool ReadWholeFile(const wchar_t* path, std::string& bytes)
{
    ScopedFileHandle file(::CreateFileW(path, GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return false;
    bytes.clear();
    char chunk[64 * 1024];
    DWORD got = 0;
    while (::ReadFile(file.Get(), chunk, sizeof(chunk), &got, nullptr)) {
        if (got == 0)
            return true;
        bytes.append(chunk, got);
    }
    return false;
}

// The folder as the ANSI code page gives it, unmappable characters replaced.
std::string AnsiForEcho(const CString& folder)
{
    int size = folder.GetLength();
    if (size == 0)
        return {};
    int count = ::WideCharToMultiByte(CP_ACP, 0, folder, size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(count), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, folder, size, &bytes[0], count, nullptr, nullptr);
    return bytes;
}

void EchoPasses(const SettingsRead& read)
{
    for (const std::string& pass : read.passes)
        std::printf("%s\n", pass.c_str());
}

void EchoFolders(const CParvaneDlg& dlg)
{
    std::printf("%s %s\n", AnsiForEcho(dlg.m_strInputFolder).c_str(),
                AnsiForEcho(dlg.m_strOutputFolder).c_str());
    std::fflush(stdout);
}

// Both lines in code page 932; nothing when either folder cannot be stored.
std::optional<std::string> EncodeSettings(const CString& inputFolder, const CString& outputFolder)
{
    std::string input, output;
    if (!CodePageFromWide(inputFolder.Str(), kFileCodePage, input) ||
        !CodePageFromWide(outputFolder.Str(), kFileCodePage, output))
        return std::nullopt;
    return WriteSettingsBytes(input, output);
}

// Decided by the attribute: an administrator (or Wine run as root) can open a
// read-only file for writing, and a rename would replace it.
bool SettingsFileIsReadOnly()
{
    DWORD attributes = ::GetFileAttributesW(kSettingsFile);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
}

// True when param.ini is missing or can be opened for writing.
bool SettingsFileIsWritable()
{
    if (SettingsFileIsReadOnly())
        return false;
    HANDLE handle = ::CreateFileW(kSettingsFile, GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD error = ::GetLastError();
    ScopedFileHandle file(handle);
    return file.IsValid() || error == ERROR_FILE_NOT_FOUND;
}

bool WriteFlushAndClose(const std::wstring& path, const std::string& bytes)
{
    ScopedFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file.IsValid() ||
        !::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size() || !::FlushFileBuffers(file.Get()))
        return false;
    return ::CloseHandle(file.Release()) != FALSE;
}

// param.ini is replaced only once the whole new content is on disk, so a
// failure at any step leaves the old file as it was.
bool ReplaceSettingsFile(const std::string& bytes)
{
    wchar_t temporary[MAX_PATH];
    if (!::GetTempFileNameW(L".", L"prm", 0, temporary))
        return false;
    bool replaced = WriteFlushAndClose(temporary, bytes) &&
                    ::MoveFileExW(temporary, kSettingsFile,
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!replaced)
        ::DeleteFileW(temporary);
    return replaced;
}

bool WriteSettingsFile(const CString& inputFolder, const CString& outputFolder)
{
    std::optional<std::string> bytes = EncodeSettings(inputFolder, outputFolder);
    return bytes && SettingsFileIsWritable() && ReplaceSettingsFile(*bytes);
}

}  // namespace

void LoadSettings(CParvaneDlg& dlg)
{
    std::string bytes;
    if (!ReadWholeFile(kSettingsFile, bytes)) {
        dlg.MessageBox(kReadErrorText, kReadErrorCaption, MB_ICONEXCLAMATION | MB_OK);
        return;
    }
    SettingsRead read = ReadSettingsBytes(bytes);
    EchoPasses(read);
    dlg.m_strInputFolder = WideFromCodePage(read.inputFolder, CP_ACP);
    dlg.m_strOutputFolder = WideFromCodePage(read.outputFolder, CP_ACP);
    EchoFolders(dlg);
    dlg.UpdateData(FALSE);
}

void SaveSettings(CParvaneDlg& dlg)
{
    dlg.UpdateData(TRUE);
    if (!WriteSettingsFile(dlg.m_strInputFolder, dlg.m_strOutputFolder))
        dlg.MessageBox(kWriteErrorText, kWriteErrorCaption, MB_ICONEXCLAMATION | MB_OK);
}
