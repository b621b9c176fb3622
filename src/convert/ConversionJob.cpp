#include "convert/ConversionJob.h"

bool FolderFound(const CString& folder)
{
    CFileFind finder;
    return finder.FindFile(folder + L"*");
}

bool CreateOutputFolder(const CString& folder)
{
    return ::CreateDirectoryW(folder, nullptr) != FALSE;
}

namespace {

// Every OEM and ANSI code page of Windows writes ASCII as itself.
bool EncodeAscii(std::wstring_view text, std::string& bytes)
{
    bytes.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= 0x80)
            return false;
        bytes[i] = static_cast<char>(text[i]);
    }
    return true;
}

}  // namespace

bool EncodeForBatchFile(std::wstring_view text, std::string& bytes)
{
    if (EncodeAscii(text, bytes))
        return true;
    static const UINT oem = ::GetOEMCP();
    static const UINT ansi = ::GetACP();
    if (!CodePageFromWide(text, oem, bytes))
        return false;
    if (ansi == oem)
        return true;
    std::string ansiBytes;
    return CodePageFromWide(text, ansi, ansiBytes);
}

ConversionScript GatherConversionScript(const CString& inputFolder, const CString& outputFolder)
{
    ConversionScript script(inputFolder.Str(), outputFolder.Str(), &EncodeForBatchFile);
    CFileFind finder;
    if (!finder.FindFile(inputFolder + L"*"))
        return script;
    // The finder keeps one entry in reserve, so the entry made current by the
    // call that returns zero is still handled.
    BOOL more;
    do {
        more = finder.FindNextFile();
        if (finder.IsDots() || finder.IsDirectory())
            continue;
        script.AddFile(finder.GetFileName().Str());
    } while (more);
    return script;
}

namespace {

constexpr ULONGLONG kFatTimeResolution = 2 * 10'000'000ULL;  // in 100-nanosecond units

ULONGLONG Ticks(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

void MarkFilesNotConverted(ConversionScript& script, const FILETIME& runStart)
{
    const ULONGLONG start = Ticks(runStart);
    const ULONGLONG earliest = start > kFatTimeResolution ? start - kFatTimeResolution : 0;
    const std::vector<std::wstring>& files = script.FilesWithLine();
    std::wstring path = script.OutputFolder();
    const size_t folderLength = path.size();
    for (const std::wstring& name : files) {
        path.resize(folderLength);
        path += name;
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
            Ticks(data.ftLastWriteTime) < earliest)
            script.MarkNotConverted(name);
    }
}
