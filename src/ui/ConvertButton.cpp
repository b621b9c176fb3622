// The batch-convert button: checks both folders, creates a missing output
// folder on request, gathers the conversion script and runs it, and turns
// each result into a box.
#include "convert/BatchRunner.h"
#include "convert/ConversionJob.h"
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
    if (!FolderFound(m_strOutputFolder) && !CreateOutputFolderOnRequest())
        return;

    ConversionScript script = GatherConversionScript(m_strInputFolder, m_strOutputFolder);
    RunConversionScript(script);
}

void CParvaneDlg::RunConversionScript(ConversionScript& script)
{
    BatchRun run = RunBatchFile(script.Bytes());
    if (!run.started) {
        CString text;
        text.Format(L"failure to start ... %s", kBatchFileName);
        MessageBox(text, nullptr, MB_OK);
        return;
    }
    MarkFilesNotConverted(script, run.startTime);
    if (!script.Skipped().empty())
        MessageBox(SkippedFilesMessage(script.Skipped()).c_str(), kSkippedFilesCaption, kSkippedFilesType);
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
