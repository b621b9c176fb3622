#include "check/RoomNeed.h"

namespace {

// The size rounded up to whole clusters; a size too large to round stays as it is.
uint64_t WholeClusters(uint64_t size, uint64_t clusterSize)
{
    if (clusterSize <= 1 || size % clusterSize == 0 || size > UINT64_MAX - clusterSize)
        return size;
    return size - size % clusterSize + clusterSize;
}

}  // namespace

uint64_t RoomNeeded(uint64_t estimatedOutputSize, uint64_t sizeOfFileReplaced, uint64_t clusterSize)
{
    const uint64_t output = WholeClusters(estimatedOutputSize, clusterSize);
    const uint64_t replaced = WholeClusters(sizeOfFileReplaced, clusterSize);
    return output > replaced ? output - replaced : 0;
}

uint64_t RoomMargin(uint64_t needed)
{
    if (needed == 0)
        return 0;
    const uint64_t onePercent = needed / 100 + (needed % 100 != 0);
    return onePercent > kMinimumRoomMargin ? onePercent : kMinimumRoomMargin;
}
