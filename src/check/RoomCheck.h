#pragma once
// The room check before a run: what the outputs need on the output folder's
// disk against what is free there.
#include "afx/afx.h"
#include "gather/Gathering.h"
#include "run/RunBaseline.h"
#include <cstdint>

// The room the outputs need on the output folder's disk and what is free
// there for this user. Each input's header gives the most its output can
// take; the file each output replaces (with both folders one, its original)
// gives its room back; both as the baseline recorded them, in whole clusters
// of the disk. A folder still to be created is measured on its parent.
struct DiskSpace {
    uint64_t needed = 0;
    uint64_t margin = 0;  // kept free beyond the need (see RoomMargin)
    uint64_t available = 0;
    uint64_t clusterSize = 0;
    bool measured = false;  // false when the disk's free space could not be asked
    size_t unestimated = 0;  // outputs whose size no bound could be had for, not in needed
    bool Enough() const { return measured && needed + margin <= available; }
};
// alsoWritten: what the run writes beside the outputs (see FileSetRoom).
DiskSpace MeasureDiskSpace(const RunBaseline& baseline, const CString& outputFolder, uint64_t alsoWritten = 0);

// What the file-sets write beside dcmdjpeg's outputs: each file that
// dcmdjpeg does not decode, copied into another output folder as it was, and
// each new DICOMDIR, written beside the old one before it replaces it.
uint64_t FileSetRoom(const GatheredInput& gathered, const RunBaseline& baseline, bool inPlace);
