#pragma once
// Why a file gets no line, or was not converted: the one vocabulary of the
// script, the checks after the run and the report. Plain C++.
#include <string>

// Why a file of the input folder is not converted: left out before the run,
// or found after it.
enum class SkipReason {
    ForbiddenCharacter,  // " < > | * ? : \ / or a character below U+0020
    TrailingDotOrSpace,  // Windows opens the name without them: another file
    DeviceName,          // CON, NUL, COM1 ...: Windows opens a device
    CodePage,            // the interpreter's or dcmdjpeg's code page cannot hold the line exactly
    LineTooLong,         // longer than the interpreter reads as one line
    PathTooLong,         // a path dcmdjpeg cannot open: MAX_PATH characters or more
    SameNameButCase,     // another file's name differs only in case: on Windows both would have one output
    DicomdirUnreadable,  // a DICOMDIR that cannot be read as one; never converted
    ListedFileMissing,   // a DICOMDIR's record names a file the input does not hold
    DicomdirNotWritten,  // the file-set's new DICOMDIR could not be put in place
    CopiedUnchanged,     // a file-set's file dcmdjpeg did not decode, copied as it was
    OriginalOverwritten,  // the output is cut short and, both folders being one, replaced the original
    OutputIncomplete,     // the output is not a whole uncompressed DICOM file (a full disk, say)
    OutputUnchecked,      // the output was written but could not be read back (held by another program)
    OutputNotLookedUp,    // the output could not be looked up after the run (a network blip, access denied)
    NotDicom,             // no output, and the input is not a DICOM file
    JpegLs,               // no output: the input is compressed in a way dcmdjpeg does not decode
    Jpeg2000,
    Rle,
    Deflate,
    NotConverted,         // dcmdjpeg wrote no output during the run, for no reason found in the input
    LineProgramNotStarted,  // the interpreter passed the line without starting dcmdjpeg (missing, quarantined, blocked)
    NotReached,           // the run was stopped before its line
    AddedDuringRun,       // the file came into the input during the run: it had no line
};

struct SkippedFile {
    std::wstring name;
    SkipReason reason;
};

// Whether the reason is one found for a line whose output dcmdjpeg did not
// write, from its input.
inline bool GaveNoOutput(SkipReason reason)
{
    switch (reason) {
    case SkipReason::NotDicom:
    case SkipReason::JpegLs:
    case SkipReason::Jpeg2000:
    case SkipReason::Rle:
    case SkipReason::Deflate:
    case SkipReason::NotConverted:
        return true;
    default:
        return false;
    }
}
