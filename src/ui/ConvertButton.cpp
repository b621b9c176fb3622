// The batch-convert button: checks both folders, creates a missing output
// folder on request, gathers the conversion script and runs it, and turns
// each result into a box.
#include "convert/BatchFile.h"
#include "convert/BatchRunner.h"
#include "convert/ConversionJob.h"
#include "convert/ConversionProgress.h"
#include "convert/RunOutcome.h"
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
    const bool outputFolderFound = FolderFound(m_strOutputFolder);
    if (!outputFolderFound && ShowConvertMessage(kCreateOutputFolder) != IDYES)
        return;

    ConversionScript script = GatherConversionScript(m_strInputFolder, m_strOutputFolder);
    // Measured before anything is written: a full disk cuts outputs short,
    // and with both folders one it destroys the originals.
    if (!HasRoomForOutputs(script))
        return;
    if (!outputFolderFound && !CreateOutputFolder(m_strOutputFolder)) {
        ShowConvertMessage(kOutputFolderNotCreated);
        return;
    }
    RunConversionScript(script);
}

bool CParvaneDlg::HasRoomForOutputs(const ConversionScript& script)
{
    const DiskSpace space = MeasureDiskSpace(script, m_strInputFolder, m_strOutputFolder);
    if (space.Enough())
        return true;
    MessageBox(DiskSpaceShortMessage(space.needed, space.available).c_str(), kDiskSpaceShortCaption,
               kDiskSpaceShortType);
    return false;
}

void CParvaneDlg::RunConversionScript(ConversionScript& script)
{
    // Before anything of the run is started: what the run writes is told
    // from what changed since.
    const RunBaseline baseline(script, m_strInputFolder.Str());
    const RunResult run = RunAndFollow(script, baseline);
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
        MarkFilesNotReached(script, baseline, run.reached);
    MarkFilesNotConverted(script, m_strInputFolder, baseline);
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
