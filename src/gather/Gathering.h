#pragma once
// The gathering of the files to convert, before anything is written: one line
// of the conversion script for each file, found in one of three ways.
// - One folder: every plain file of the input folder; subfolders are skipped.
// - A tree (when the user asks for subfolders): every plain file at any
//   depth, its output at the same path below the output folder. Links and
//   junctions to folders, and the output folder where it lies inside the
//   input folder, are never entered.
// - A file-set: a folder holding a DICOMDIR (the input folder itself, or a
//   subfolder of a tree). Only the files its records name get lines; the
//   others (a viewer, AUTORUN.INF) are counted and left as they are.
// A DICOMDIR is never given to dcmdjpeg; one that cannot be read is listed,
// and its folder is gathered as if it held none.
#include "afx/afx.h"
#include "fileset/FileSet.h"
#include "run/WorkProgress.h"
#include "script/ConversionScript.h"
#include <optional>
#include <string>
#include <utility>
#include <vector>

enum class Subfolders { Skipped, Converted };

struct GatheredInput {
    explicit GatheredInput(ConversionScript gathered) : script(std::move(gathered)) {}

    ConversionScript script;
    std::vector<FileSet> fileSets;
    // Files inside file-sets that no DICOMDIR record names.
    size_t filesLeftAsTheyAre = 0;
    // The folders below the output folder that the outputs need, each after
    // the folder that holds it; empty folders are not among them.
    std::vector<std::wstring> outputSubfolders;
    // A folder whose listing ended on an error before its end (below the
    // input folder): the gathering stopped there, and nothing is to run.
    std::optional<std::wstring> listingFailed;
};

// What the click needs to know before it gathers: whether the input folder is
// a file-set (its DICOMDIR reads), and otherwise whether its subfolders hold
// any file, which makes it a tree the user is asked about.
struct InputLayout {
    bool fileSet = false;
    bool subfoldersHoldFiles = false;
};
InputLayout SurveyInputFolder(const CString& inputFolder, const CString& outputFolder);

// Both folders end in a backslash. With progress, counts the files found and
// ends early when a stop is asked.
GatheredInput GatherInput(const CString& inputFolder, const CString& outputFolder, Subfolders subfolders,
                          WorkProgress* progress = nullptr);

// The lines of the input folder gathered as one folder.
ConversionScript GatherConversionScript(const CString& inputFolder, const CString& outputFolder,
                                        WorkProgress* progress = nullptr);

// After the run: the files the input holds now that the gathering did not
// see (a copy from a CD still going on) are listed as added during the run.
void NoteFilesAddedDuringRun(ConversionScript& script, const CString& inputFolder, const CString& outputFolder,
                             Subfolders subfolders);

// Makes the output's subfolders (see GatheredInput); false when one of them
// cannot be made.
bool CreateOutputSubfolders(const CString& outputFolder, const std::vector<std::wstring>& subfolders);
