#include "run/OutputState.h"
#include <gtest/gtest.h>

namespace {

FileState Present(uint64_t size, uint64_t stamp, std::optional<uint64_t> identity = 7)
{
    FileState state;
    state.exists = true;
    state.size = size;
    state.lastWrite = stamp;
    state.identity = identity;
    return state;
}

}  // namespace

TEST(OutputState, AnOutputIsWrittenWhenItsStateChangedWhateverTheStampsSay)
{
    const FileState absent;
    // Stamps from a server whose clock is far behind or ahead of this
    // computer's: only the change counts.
    const uint64_t early = 100, late = 100 + 6'000'000'000ULL;
    const struct Case {
        const char* what;
        FileState before, now;
        std::optional<uint64_t> identityNow;
        bool written;
    } cases[] = {
        { "still absent", absent, absent, std::nullopt, false },
        { "new", absent, Present(10, early), std::nullopt, true },
        { "new, stamped before an old one would be", absent, Present(10, 1), std::nullopt, true },
        { "gone since", Present(10, early), absent, std::nullopt, false },
        { "untouched", Present(10, late), Present(10, late), 7, false },
        { "rewritten, stamped earlier", Present(10, late), Present(10, early), 7, true },
        { "rewritten, stamped later", Present(10, early), Present(10, late), 7, true },
        { "grown, same stamp", Present(10, early), Present(99, early), 7, true },
        { "replaced by another file, same size and stamp", Present(10, early), Present(10, early), 8, true },
        { "identity not to be had now", Present(10, early), Present(10, early), std::nullopt, false },
        { "identity not recorded", Present(10, early, std::nullopt), Present(10, early), 8, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(WrittenSince(c.before, c.now, [&] { return c.identityNow; }), c.written);
    }
}

TEST(OutputState, IdentityIsAskedOnlyWhenSizeAndStampAreUnchanged)
{
    int asked = 0;
    auto identity = [&] { ++asked; return std::optional<uint64_t>(7); };
    WrittenSince(FileState(), Present(1, 1), identity);
    WrittenSince(Present(1, 1), Present(2, 1), identity);
    WrittenSince(Present(1, 1), Present(1, 2), identity);
    EXPECT_EQ(asked, 0);
    WrittenSince(Present(1, 1), Present(1, 1), identity);
    EXPECT_EQ(asked, 1);
}
