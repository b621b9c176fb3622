#pragma once
// What the files of a run need and what became of them, decided from what the
// DICOM structure reader found. Plain C++; the caller reads the files.
#include "convert/DicomStructure.h"
#include "convert/NameChecks.h"
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Why an input gave no output: a reason found in the input itself.
SkipReason ReasonForMissingOutput(const DicomHeader& input);

// An output that is not a whole uncompressed DICOM file. When both folders
// are one, the cut-short output has replaced its original.
SkipReason ReasonForIncompleteOutput(bool replacedOriginal);

// What the check of an output written during the run found: nothing when it
// is converted. A whole output without pixel data is converted when its input
// held none either (a report, an RT plan, a waveform); when the input held
// pixel data, or could not be read before the run, it may have been cut
// before its pixel data. An output that could not be read (ReadFailed) was
// not checked, which says nothing of its state.
std::optional<SkipReason> ReasonForWrittenOutput(WholeFileVerdict verdict, std::optional<bool> inputHadPixelData,
                                                 bool replacedOriginal);

// The room one output takes on its disk beyond the file it replaces, if any:
// with both folders one, the original; otherwise an earlier output of the
// same name. A file takes whole clusters, so both sizes are rounded up to
// the disk's cluster size. dcmdjpeg writes each output whole before the next
// starts.
uint64_t RoomNeeded(uint64_t estimatedOutputSize, uint64_t sizeOfFileReplaced, uint64_t clusterSize);

// What the room check keeps free beyond the outputs' need, for what the
// estimate cannot see (the file system's own records, other programs): 1 %
// of the need, at least 8 MiB; none when the outputs need no room.
constexpr uint64_t kMinimumRoomMargin = 8ull << 20;
uint64_t RoomMargin(uint64_t needed);

// The box text when the output folder's disk has too little free space:
// the room needed includes the margin.
std::wstring DiskSpaceShortMessage(uint64_t needed, uint64_t margin, uint64_t available);

// The question when some outputs' size could not be estimated: their count,
// what that means for the room check, and whether to go on.
std::wstring UnestimatedOutputsMessage(size_t count);

// A size as a person reads it: 950 バイト, 12.3 KB, 4.5 MB, 1.2 GB (1 KB = 1024 bytes),
// rounded up so that a need is never shown smaller than it is.
std::wstring FormatByteSize(uint64_t bytes);
