// A run whose Parvane ended before its report (ended from the task manager,
// a crash, a forced restart, a power cut) is told at the next start, or at
// the next click when its processes were still running then.
#include "check/UnfinishedRun.h"
#include "report/ReportTexts.h"
#include "run/BatchFile.h"
#include "run/RunJournal.h"
#include "ui/ComOwners.h"
#include "ui/ConvertMessages.h"
#include "ui/ParvaneDlg.h"
#include "ui/RunWindow.h"
#include "ui/RunningState.h"
#include <optional>

void CParvaneDlg::OnReportUnfinishedRun()
{
    if (!m_bRunning)
        ReportUnfinishedRun();
}

void CParvaneDlg::ReportUnfinishedRun()
{
    // While the run's processes live, its outputs are still being written.
    if (!RunJournalFound() || BatchFileInUse(BatchFilePath()))
        return;
    const std::optional<RunJournal> journal = ReadRunJournal();
    if (!journal) {
        RemoveRunJournal();  // cut while it was written: its run never started
        return;
    }
    RunningState running(m_hWnd, m_bRunning);
    ComApartment apartment;
    RunWindow window(m_hWnd);
    std::optional<UnfinishedRun> left;
    // A cancel keeps the journal: the next start tells it.
    if (!window.InBackground(kCheckingPhase, kFilesCheckedWord,
                             [&](WorkProgress& progress) { left.emplace(CheckUnfinishedRun(*journal, &progress)); }))
        return;
    window.CloseProgress();
    const std::wstring text =
        UnfinishedRunMessage(journal->inputFolder, journal->outputFolder, left->converted, left->notConverted);
    MessageBox(text.c_str(), kUnfinishedRunCaption, kUnfinishedRunType);
    RemoveRunJournal();
}
