// The batch-convert button: checks both folders, creates a missing output
// folder on request, gathers the conversion script and runs it, and turns
// each result into a box.
#include "convert/BatchRunner.h"
#include "convert/ConversionJob.h"
#include "ui/ConvertMessages.h"
#include "ui/ParvaneDlg.h"
#include <clocale>

namespace {

// The batch file is written through the run-time library's locale, which
// must use code page 932.
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
    RunConversionScript(CString(script.Text()));
    if (!script.LeftOutFiles().empty())
        MessageBox(LeftOutFilesMessage(script.LeftOutFiles()).c_str(), kLeftOutFilesCaption, MB_OK | MB_ICONWARNING);
}

void CParvaneDlg::RunConversionScript(const CString& script)
{
    if (RunBatchFile(script) == BatchRunResult::NotStarted) {
        CString text;
        text.Format(L"failure to start ... %s", kBatchFileName);
        MessageBox(text, nullptr, MB_OK);
    }
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
