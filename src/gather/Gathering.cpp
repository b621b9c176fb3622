#include "gather/Gathering.h"
#include "script/BatchEncoding.h"

ConversionScript GatherConversionScript(const CString& inputFolder, const CString& outputFolder,
                                        WorkProgress* progress)
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
        script.AddFile(finder.GetFileName().Str(), finder.GetLength());
        if (progress) {
            progress->Step();
            if (progress->StopAsked())
                break;
        }
    } while (more);
    return script;
}
