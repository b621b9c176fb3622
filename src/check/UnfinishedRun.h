#pragma once
// What a run left that did not finish: its Parvane ended during it, and its
// journal (see RunJournal) is all that tells which files it was to convert.
// Judged from the journal and the outputs as they are now, with the checks
// of the report after a run.
#include "run/RunJournal.h"
#include "run/WorkProgress.h"
#include "script/SkipReason.h"
#include <vector>

struct UnfinishedRun {
    size_t converted = 0;
    // Every other file of the run, with its reason: not reached, cut short,
    // an original overwritten, no output written; and each file-set's
    // DICOMDIR, which the run was to write after its last line.
    std::vector<SkippedFile> notConverted;
};

// With progress, counts the files checked.
UnfinishedRun CheckUnfinishedRun(const RunJournal& journal, WorkProgress* progress = nullptr);
