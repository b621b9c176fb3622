#include "run/OutputState.h"

bool WrittenSince(const FileState& before, const FileState& now,
                  const std::function<std::optional<uint64_t>()>& identityNow)
{
    if (!now.exists)
        return false;
    if (!before.exists || now.size != before.size || now.lastWrite != before.lastWrite)
        return true;
    if (!before.identity)
        return false;
    const std::optional<uint64_t> identity = identityNow();
    return identity && *identity != *before.identity;
}
