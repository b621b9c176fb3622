#include "settings/SettingsFile.h"
#include "settings/SettingsFormat.h"
#include "afx/afx.h"
#include <cstdio>
#include <optional>
#include <string>

namespace {

const wchar_t kSettingsFile[] = L"param.ini";
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
std::string AnsiForEcho(const std::wstring& folder)
{
    int size = static_cast<int>(folder.size());
    if (size == 0)
        return {};
    int count = ::WideCharToMultiByte(CP_ACP, 0, folder.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(count), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, folder.data(), size, &bytes[0], count, nullptr, nullptr);
    return bytes;
}

void EchoPasses(const SettingsRead& read)
{
    for (const std::string& pass : read.passes)
        std::printf("%s\n", pass.c_str());
}

void EchoFolders(const SettingsFolders& folders)
{
    std::printf("%s %s\n", AnsiForEcho(folders.inputFolder).c_str(),
                AnsiForEcho(folders.outputFolder).c_str());
    std::fflush(stdout);
}

// Both lines in code page 932; nothing when either folder cannot be stored.
std::optional<std::string> EncodeSettings(const std::wstring& inputFolder, const std::wstring& outputFolder)
{
    std::string input, output;
    if (!CodePageFromWide(inputFolder, kFileCodePage, input) ||
        !CodePageFromWide(outputFolder, kFileCodePage, output))
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

}  // namespace

std::optional<SettingsFolders> ReadSettingsFile()
{
    std::string bytes;
    if (!ReadWholeFile(kSettingsFile, bytes))
        return std::nullopt;
    SettingsRead read = ReadSettingsBytes(bytes);
    EchoPasses(read);
    // Read in the code page the file is written in, whatever the system's is.
    SettingsFolders folders{ WideFromCodePage(read.inputFolder, kFileCodePage),
                             WideFromCodePage(read.outputFolder, kFileCodePage) };
    EchoFolders(folders);
    return folders;
}

bool WriteSettingsFile(const std::wstring& inputFolder, const std::wstring& outputFolder)
{
    std::optional<std::string> bytes = EncodeSettings(inputFolder, outputFolder);
    return bytes && SettingsFileIsWritable() && ReplaceSettingsFile(*bytes);
}
