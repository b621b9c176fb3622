// The batch-convert button: checks both folders, creates a missing output
// folder on request, gathers the conversion script and runs it, and turns
// each result into a box.
#include "check/AfterRunCheck.h"
#include "check/RoomCheck.h"
#include "gather/Folders.h"
#include "fileset/FileSetCompletion.h"
#include "gather/Gathering.h"
#include "report/ReportTexts.h"
#include "run/BatchFile.h"
#include "run/BatchRunner.h"
#include "run/ConversionProgress.h"
#include "run/LineStarts.h"
#include "run/RunJournal.h"
#include "ui/ConvertMessages.h"
#include "ui/ParvaneDlg.h"
#include "ui/RunWindow.h"
#include "ui/RunningState.h"
#include <algorithm>
#include <clocale>
#include <optional>

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
    // A run that did not finish is told before a new one replaces its journal.
    ReportUnfinishedRun();
    // Before anything is created: without dcmdjpeg every line would fail,
    // and the report would blame the files.
    if (!LineProgramFound())
        return;
    const bool outputFolderFound = FolderFound(m_strOutputFolder);
    if (!outputFolderFound && ShowConvertMessage(kCreateOutputFolder) != IDYES)
        return;
    // A folder whose parent is missing cannot be made; said before the room
    // check, which could not ask that disk either.
    if (!outputFolderFound && !ParentFolderFound(m_strOutputFolder)) {
        ShowConvertMessage(kOutputFolderNotCreated);
        return;
    }

    // A tree gets one question before anything is gathered; a file-set, whose
    // DICOMDIR names its files, gets none.
    const InputLayout layout = SurveyInputFolder(m_strInputFolder, m_strOutputFolder);
    Subfolders subfolders = Subfolders::Skipped;
    if (!layout.fileSet && layout.subfoldersHoldFiles && ShowConvertMessage(kConvertSubfolders) == IDYES)
        subfolders = Subfolders::Converted;

    // From here to the report the click is one followed run: the dialog
    // answers, its controls are held, the file work goes on in a worker
    // thread, and a stop before the conversion writes nothing.
    RunningState running(m_hWnd, m_bRunning);
    ComApartment apartment;
    RunWindow window(m_hWnd);
    std::optional<GatheredInput> gathered;
    if (!window.InBackground(kPreparingPhase, kFilesFoundWord, [&](WorkProgress& progress) {
            gathered.emplace(GatherInput(m_strInputFolder, m_strOutputFolder, subfolders, &progress));
        }))
        return;
    if (gathered->listingFailed) {
        window.CloseProgress();
        ShowListingFailed(m_strInputFolder.Str() + *gathered->listingFailed);
        return;
    }
    // What the run writes is told from what changed since; an output folder
    // still to be made holds nothing yet. The same look at every file gives
    // the room the outputs need, measured before anything is written: a
    // full disk cuts outputs short, and with both folders one it destroys
    // the originals.
    const bool inPlace = outputFolderFound && FoldersAreOne(m_strInputFolder, m_strOutputFolder);
    std::optional<RunBaseline> baseline;
    DiskSpace space;
    std::string journal;  // of the run, made here, off the dialog's thread
    if (!window.InBackground(kPreparingPhase, kFilesLookedAtWord, [&](WorkProgress& progress) {
            baseline.emplace(gathered->script, m_strInputFolder.Str(), &progress);
            if (progress.StopAsked())
                return;
            space = MeasureDiskSpace(*baseline, m_strOutputFolder, FileSetRoom(*gathered, *baseline, inPlace));
            journal = FormatRunJournal(MakeRunJournal(gathered->script, m_strInputFolder.Str(), *baseline, inPlace,
                                                      FileSetDirectories(gathered->fileSets)));
        }))
        return;
    if (baseline->ListingFailed()) {
        window.CloseProgress();
        ShowListingFailed(*baseline->ListingFailed());
        return;
    }
    if (!HasRoomForOutputs(space, inPlace, window))
        return;
    // A cancel pressed after the preparation still writes nothing.
    if (window.CancelPressed())
        return;
    if ((!outputFolderFound && !CreateOutputFolder(m_strOutputFolder)) ||
        !CreateOutputSubfolders(m_strOutputFolder, gathered->outputSubfolders)) {
        window.CloseProgress();
        ShowConvertMessage(kOutputFolderNotCreated);
        return;
    }
    RunConversionScript(*gathered, *baseline, journal, inPlace, subfolders, window);
}

// A run whose room cannot be checked whole goes on only when the user says
// so: with both folders one, a full disk destroys originals.
bool CParvaneDlg::HasRoomForOutputs(const DiskSpace& space, bool inPlace, RunWindow& window)
{
    if (!space.measured) {
        window.CloseProgress();
        return AskToGoOn(kFreeSpaceUnknown, kFreeSpaceUnknownCaption, inPlace);
    }
    if (!space.Enough()) {
        window.CloseProgress();
        MessageBox(DiskSpaceShortMessage(space.needed, space.margin, space.available).c_str(), kDiskSpaceShortCaption,
                   kDiskSpaceShortType);
        return false;
    }
    if (space.unestimated > 0) {
        window.CloseProgress();
        return AskToGoOn(UnestimatedOutputsMessage(space.unestimated).c_str(), kUnestimatedOutputsCaption, inPlace);
    }
    return true;
}

bool CParvaneDlg::AskToGoOn(const wchar_t* text, const wchar_t* caption, bool inPlace)
{
    return MessageBox(text, caption, kGoOnQuestionType | (inPlace ? MB_DEFBUTTON2 : MB_DEFBUTTON1)) == IDYES;
}

void CParvaneDlg::RunConversionScript(GatheredInput& gathered, const RunBaseline& baseline, const std::string& journal,
                                      bool inPlace, Subfolders subfolders, RunWindow& window)
{
    ConversionScript& script = gathered.script;
    bool stopped = false;
    size_t reached = 0;
    std::optional<size_t> linesStarted;
    std::vector<std::wstring> notStarted;
    const size_t linesInRun = script.FilesWithLine().size();
    // The outputs of the lines the run has passed are checked while it goes on.
    OutputChecks checks(script, m_strInputFolder, baseline);
    {
        BatchRun run(kLineProgramFile);
        LineStarts starts(script, m_strInputFolder.Str());
        run.TellLineStarts(&starts);
        // Should this program end during the run, the next start tells from
        // the journal what the run left.
        const BatchStart start = run.Start(script.Bytes(), [&] { WriteRunJournal(journal); });
        if (start != BatchStart::Started) {
            window.CloseProgress();
            if (start == BatchStart::NotStarted)
                RemoveRunJournal();
        }
        if (start == BatchStart::BatchFileInUse) {
            ShowBatchFileInUse();
            return;
        }
        if (start == BatchStart::NotStarted) {
            CString text;
            text.Format(L"failure to start ... %s", kBatchFileName);
            MessageBox(text, nullptr, MB_OK);
            return;
        }
        SessionHold session(m_hWnd, m_bConverting);
        ConversionProgress progress(script, baseline);
        window.Follow(run, progress, [&](size_t done) { checks.CheckBefore(done); });
        stopped = run.Stopped();
        reached = progress.Reached();
        linesStarted = run.LinesStarted();
        notStarted = LinesNotStarted(script, starts.Started(), stopped);
    }
    window.InBackground(kCheckingPhase, kFilesCheckedWord, [&](WorkProgress& progress) {
        if (stopped)
            MarkFilesNotReached(script, baseline, reached, linesStarted);
        MarkFilesNotConverted(script, m_strInputFolder, baseline, &progress, &checks);
        CompleteFileSets(gathered.fileSets, script, m_strInputFolder, m_strOutputFolder, inPlace);
        MarkLinesNotStarted(script, notStarted);
        NoteFilesAddedDuringRun(script, m_strInputFolder, m_strOutputFolder, subfolders);
    });
    window.CloseProgress();
    // When no line started its program (and none has an output), that is
    // one box, not a list of files.
    std::vector<SkippedFile> reported = script.Skipped();
    const auto notStartedReason = [](const SkippedFile& file) {
        return file.reason == SkipReason::LineProgramNotStarted;
    };
    if (linesInRun > 0 &&
        static_cast<size_t>(std::count_if(reported.begin(), reported.end(), notStartedReason)) == linesInRun) {
        ShowWhereLineProgramWasLookedFor(kLineProgramNotStarted);
        reported.erase(std::remove_if(reported.begin(), reported.end(), notStartedReason), reported.end());
    }
    if (!reported.empty() || gathered.filesLeftAsTheyAre > 0)
        MessageBox(SkippedFilesMessage(reported, 10, gathered.filesLeftAsTheyAre).c_str(), kSkippedFilesCaption,
                   kSkippedFilesType);
    RemoveRunJournal();
}

bool CParvaneDlg::LineProgramFound()
{
    if (!FindLineProgram(kLineProgram).empty())
        return true;
    ShowWhereLineProgramWasLookedFor(kLineProgramMissing);
    return false;
}

void CParvaneDlg::ShowWhereLineProgramWasLookedFor(const ConvertMessage& message)
{
    std::vector<std::wstring> lookedIn;
    FindLineProgram(kLineProgram, &lookedIn);
    std::wstring text = message.text;
    const size_t kShown = 8;
    for (size_t i = 0; i < lookedIn.size() && i < kShown; ++i)
        text += L"\n    " + lookedIn[i];
    if (lookedIn.size() > kShown)
        text += L"\n    ほか " + std::to_wstring(lookedIn.size() - kShown) + L" か所（環境変数 PATH のフォルダ）";
    MessageBox(text.c_str(), message.caption, message.type);
}

void CParvaneDlg::ShowListingFailed(const std::wstring& folder)
{
    const std::wstring text = std::wstring(kListingFailed.text) + folder;
    MessageBox(text.c_str(), kListingFailed.caption, kListingFailed.type);
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
