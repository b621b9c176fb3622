#pragma once
// The room an output takes on its disk, and the margin kept beyond the need.
// Plain C++.
#include <cstdint>

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
