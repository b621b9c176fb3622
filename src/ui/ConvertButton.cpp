// The batch-convert button: checks both folders, creates a missing output
// folder on request, gathers the conversion script and runs it, and turns
// each result into a box.
#include "convert/BatchFile.h"
#include "convert/BatchRunner.h"
#include "convert/ConversionJob.h"
#include "convert/ConversionProgress.h"
#include "ui/ConvertMessages.h"
#include "ui/ParvaneDlg.h"
#include <clocale>

namespace {

// The run-time library's locale is Japanese for the rest of the process, as
// it always has been after a click; the batch file is encoded explicitly.
void UseJapaneseLocale()
{
    if (!std::setlocale(LC_ALL, "japanese"))
        std::setlocale(LC_ALL, ".932");
}

}  // namespace

int CParvaneDlg::ShowConvertMessage(const ConvertMessage& message)
{
    return MessageBox(message.text, message.caption, message.type);
}

void CParvaneDlg::OnBnClickedConvert()
{
    UpdateData(TRUE);
    if (m_strInputFolder.IsEmpty()) {
        ShowConvertMessage(kInputFolderMissing);
        return;
    }
    if (m_strOutputFolder.IsEmpty()) {
        ShowConvertMessage(kOutputFolderNotGiven);
        return;
    }
    if (!IsSafeFolderText(m_strInputFolder.Str())) {
        ShowConvertMessage(kInputFolderTextUnsafe);
        return;
    }
    if (!IsSafeFolderText(m_strOutputFolder.Str())) {
        ShowConvertMessage(kOutputFolderTextUnsafe);
        return;
    }
    AppendFolderBackslash(m_strInputFolder);
    AppendFolderBackslash(m_strOutputFolder);
    UseJapaneseLocale();

    if (!FolderFound(m_strInputFolder)) {
        ShowConvertMessage(kInputFolderMissing);
        return;
    }
    // Before anything is created: a run of another Parvane in this working
    // folder holds the batch file.
    if (BatchFileInUse(BatchFilePath())) {
        ShowBatchFileInUse();
        return;
    }
    if (!FolderFound(m_strOutputFolder) && !CreateOutputFolderOnRequest())
        return;

    ConversionScript script = GatherConversionScript(m_strInputFolder, m_strOutputFolder);
    RunConversionScript(script);
}

void CParvaneDlg::RunConversionScript(ConversionScript& script)
{
    const RunOutcome run = RunAndFollow(script);
    if (run.start == BatchStart::BatchFileInUse) {
        ShowBatchFileInUse();
        return;
    }
    if (run.start == BatchStart::NotStarted) {
        CString text;
        text.Format(L"failure to start ... %s", kBatchFileName);
        MessageBox(text, nullptr, MB_OK);
        return;
    }
    if (run.stopped)
        MarkFilesNotReached(script, run.startTime);
    MarkFilesNotConverted(script, run.startTime);
    if (!script.Skipped().empty())
        MessageBox(SkippedFilesMessage(script.Skipped()).c_str(), kSkippedFilesCaption, kSkippedFilesType);
}

void CParvaneDlg::ShowBatchFileInUse()
{
    const std::wstring text = std::wstring(kBatchFileInUse.text) + L"\n\n" + BatchFilePath();
    MessageBox(text.c_str(), kBatchFileInUse.caption, kBatchFileInUse.type);
}

void CParvaneDlg::AppendFolderBackslash(CString& folder)
{
    std::wstring text = folder.Str();
    AppendBackslashIfMissing(text);
    folder = CString(std::move(text));
}

bool CParvaneDlg::CreateOutputFolderOnRequest()
{
    if (ShowConvertMessage(kCreateOutputFolder) != IDYES)
        return false;
    if (CreateOutputFolder(m_strOutputFolder))
        return true;
    ShowConvertMessage(kOutputFolderNotCreated);
    return false;
}
