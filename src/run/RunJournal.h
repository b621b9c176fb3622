#pragma once
// The journal of a run: what the check after the run needs to judge the
// outputs (the folders, each line's file, its output as it was before and
// what was read of its input), written into the working folder before the
// interpreter starts and removed once the report has been shown. A Parvane
// that ends during its run (ended from the task manager, a crash, a forced
// restart, a power cut) leaves it behind, and the next start tells from it
// and the outputs as they are what that run left.
#include "afx/afx.h"
#include "run/RunBaseline.h"
#include "script/ConversionScript.h"
#include <optional>
#include <string>
#include <vector>

struct RunJournal {
    std::wstring inputFolder;   // ending in a backslash
    std::wstring outputFolder;  // ending in a backslash
    bool inPlace = false;
    // The DICOMDIR of each file-set, below the input folder: the run was to
    // write each anew after its last line.
    std::vector<std::wstring> fileSetDirectories;
    struct Line {
        std::wstring path;  // below the input folder, as the script names it
        uint64_t inputSize = ConversionScript::kSizeUnknown;
        FileState outputBefore;
        RunBaseline::Input input;
    };
    std::vector<Line> lines;
};

// The journal of the run of the script with the baseline.
RunJournal MakeRunJournal(const ConversionScript& script, const std::wstring& inputFolder,
                          const RunBaseline& baseline, bool inPlace, std::vector<std::wstring> fileSetDirectories);

// The journal as UTF-8 text, one record a line, ending in a line that says
// it is whole; and back. A text without that end, or with a record that does
// not read, gives nothing: a journal cut while it was written belongs to a
// run whose interpreter never started.
std::string FormatRunJournal(const RunJournal& journal);
std::optional<RunJournal> ParseRunJournal(const std::string& text);

// The journal's path in the working folder, beside uncompress.bat.
std::wstring RunJournalPath();
// Writes the journal's text (see FormatRunJournal) and flushes it to the
// disk. False when it could not be written: the run goes on without one.
bool WriteRunJournal(const std::string& text);
bool RunJournalFound();
// Nothing when there is none or it does not read.
std::optional<RunJournal> ReadRunJournal();
void RemoveRunJournal();
