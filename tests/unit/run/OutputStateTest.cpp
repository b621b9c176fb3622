#include "run/OutputState.h"
#include <gtest/gtest.h>

namespace {

FileState Present(uint64_t size, uint64_t stamp)
{
    FileState state;
    state.exists = true;
    state.size = size;
    state.lastWrite = stamp;
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
        bool written;
    } cases[] = {
        { "still absent", absent, absent, false },
        { "new", absent, Present(10, early), true },
        { "new, stamped before an old one would be", absent, Present(10, 1), true },
        { "gone since", Present(10, early), absent, false },
        { "untouched", Present(10, late), Present(10, late), false },
        { "rewritten, stamped earlier", Present(10, late), Present(10, early), true },
        { "rewritten, stamped later", Present(10, early), Present(10, late), true },
        { "grown, same stamp", Present(10, early), Present(99, early), true },
        // A server may give a file another identity at each open: an old
        // output of the same size and stamp is never passed as written.
        { "same size and stamp", Present(10, early), Present(10, early), false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(WrittenSince(c.before, c.now), c.written);
    }
}
