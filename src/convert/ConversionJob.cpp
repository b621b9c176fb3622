#include "convert/ConversionJob.h"

namespace {

bool CanWriteInCodePage932(const std::wstring& line)
{
    std::string bytes;
    return CodePageFromWide(line, 932, bytes);
}

}  // namespace

bool FolderFound(const CString& folder)
{
    CFileFind finder;
    return finder.FindFile(folder + L"*");
}

bool CreateOutputFolder(const CString& folder)
{
    return ::CreateDirectoryW(folder, nullptr) != FALSE;
}

ConversionScript GatherConversionScript(const CString& inputFolder, const CString& outputFolder)
{
    ConversionScript script(inputFolder.Str(), outputFolder.Str(), &CanWriteInCodePage932);
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
