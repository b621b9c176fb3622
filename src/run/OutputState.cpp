#include "run/OutputState.h"

bool WrittenSince(const FileState& before, const FileState& now)
{
    if (!now.lookedUp || !now.exists)
        return false;
    return !before.exists || now.size != before.size || now.lastWrite != before.lastWrite;
}
