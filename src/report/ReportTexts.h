#pragma once
// The words of the boxes that tell what became of a click's files: the report
// after a run and the room check's box and question before it. Plain C++;
// nothing below the dialog knows these texts.
#include "script/SkipReason.h"
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The box text after a run: every skipped file, grouped by reason in the
// order of SkipReason, each group with its count; at most maxNamesPerReason
// names a group, the rest counted. Then, in one line, how many files of
// file-sets no DICOMDIR record names, which were left as they are.
std::wstring SkippedFilesMessage(const std::vector<SkippedFile>& skipped, size_t maxNamesPerReason = 10,
                                size_t filesLeftAsTheyAre = 0);

// The box text at a start after a run that did not finish (its Parvane
// ended first): the run's folders, how many files it converted, and what
// became of the others, in the words of the report after a run.
std::wstring UnfinishedRunMessage(const std::wstring& inputFolder, const std::wstring& outputFolder, size_t converted,
                                  const std::vector<SkippedFile>& notConverted, size_t maxNamesPerReason = 10);

// The box text when the output folder's disk has too little free space:
// the room needed includes the margin.
std::wstring DiskSpaceShortMessage(uint64_t needed, uint64_t margin, uint64_t available);

// The question when some outputs' size could not be estimated: their count,
// what that means for the room check, and whether to go on.
std::wstring UnestimatedOutputsMessage(size_t count);

// A size as a person reads it: 950 バイト, 12.3 KB, 4.5 MB, 1.2 GB (1 KB = 1024 bytes),
// rounded up so that a need is never shown smaller than it is.
std::wstring FormatByteSize(uint64_t bytes);
