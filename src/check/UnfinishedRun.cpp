#include "check/UnfinishedRun.h"
#include "check/AfterRunCheck.h"

UnfinishedRun CheckUnfinishedRun(const RunJournal& journal, WorkProgress* progress)
{
    // The batch text is not made again: the journal's lines are the run's.
    ConversionScript script(journal.inputFolder, journal.outputFolder, [](std::wstring_view, std::string&) { return true; });
    std::vector<FileState> outputs;
    std::vector<RunBaseline::Input> inputs;
    for (const RunJournal::Line& line : journal.lines) {
        script.RestoreLine(line.path, line.inputSize);
        outputs.push_back(line.outputBefore);
        inputs.push_back(line.input);
    }
    const RunBaseline baseline(script, std::move(outputs), std::move(inputs));
    MarkFilesAfterLastOutputNotReached(script, baseline);
    const size_t reached = script.FilesWithLine().size();
    const size_t notReached = script.Skipped().size();
    MarkFilesNotConverted(script, CString(std::wstring(journal.inputFolder)), baseline, progress);
    UnfinishedRun left;
    left.converted = reached - (script.Skipped().size() - notReached);
    for (const std::wstring& directory : journal.fileSetDirectories)
        script.LeaveOut(directory, SkipReason::DicomdirNotWritten);
    left.notConverted = script.Skipped();
    return left;
}
