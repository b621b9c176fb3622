#include "convert/LineProgress.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

// The outputs of a run as they stand, and how many looks a poll took.
struct Outputs {
    explicit Outputs(size_t lines) : written(lines, false) {}
    LineProgress::OutputWritten Probe()
    {
        return [this](size_t line) {
            ++looks;
            return written.at(line);
        };
    }
    std::vector<bool> written;
    size_t looks = 0;
};

constexpr size_t kMostLooksWithoutNews = 1 + LineProgress::kNearLines + LineProgress::kSweepLines;

}  // namespace

TEST(LineProgress, FollowsOutputsInLineOrderAndNeverFalls)
{
    Outputs outputs(10);
    LineProgress progress(10);
    EXPECT_EQ(progress.Current(), 0u) << "the first line is the current one before any output";
    size_t lastDone = 0;
    for (size_t line = 0; line < 10; ++line) {
        outputs.written[line] = true;
        outputs.looks = 0;
        progress.Poll(outputs.Probe());
        EXPECT_EQ(progress.Done(), line + 1);
        EXPECT_GE(progress.Done(), lastDone);
        EXPECT_LE(outputs.looks, 2u) << "one output new since the last poll, one look at the next line";
        lastDone = progress.Done();
    }
    EXPECT_EQ(progress.Current(), 9u) << "the last line stays the current one";
}

TEST(LineProgress, PassesFailingLinesByTheOutputsAfterThem)
{
    struct Case { size_t failing; size_t mostPolls; } const cases[] = {
        { 1, 1 },                                  // the next line's output is seen at once
        { LineProgress::kNearLines, 1 },
        { 50, 1 + 50 / LineProgress::kSweepLines },  // a long stretch: the sweep reaches it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        const size_t lines = 3 + c.failing + 100;
        Outputs outputs(lines);
        LineProgress progress(lines);
        for (size_t line = 0; line < 3; ++line)
            outputs.written[line] = true;
        progress.Poll(outputs.Probe());
        ASSERT_EQ(progress.Done(), 3u);
        // Lines 3 .. 3+failing-1 write nothing; the one after them has written.
        const size_t next = 3 + c.failing;
        outputs.written[next] = true;
        size_t polls = 0;
        while (progress.Done() <= next && polls < 1000) {
            outputs.looks = 0;
            progress.Poll(outputs.Probe());
            ++polls;
            EXPECT_LE(outputs.looks, kMostLooksWithoutNews + 1) << "a poll never scans the folder";
        }
        EXPECT_EQ(progress.Done(), next + 1);
        EXPECT_LE(polls, c.mostPolls);
    }
}

TEST(LineProgress, APollWithoutNewsLooksAtAFewLinesOnly)
{
    Outputs outputs(100000);
    LineProgress progress(100000);
    for (int poll = 0; poll < 50; ++poll) {
        outputs.looks = 0;
        progress.Poll(outputs.Probe());
        EXPECT_LE(outputs.looks, kMostLooksWithoutNews);
    }
    EXPECT_EQ(progress.Done(), 0u);
}

TEST(LineProgress, FinishCountsEveryLineAndNoLinesNeedNoLook)
{
    LineProgress progress(5);
    progress.Finish();
    EXPECT_EQ(progress.Done(), 5u);
    EXPECT_EQ(progress.Current(), 4u);

    Outputs none(0);
    LineProgress empty(0);
    empty.Poll(none.Probe());
    EXPECT_EQ(none.looks, 0u);
    EXPECT_EQ(empty.Done(), 0u);
    EXPECT_EQ(empty.Current(), 0u);
}

TEST(LineProgress, FirstLineNotReachedFollowsTheLastOutputWritten)
{
    struct Case { std::vector<bool> written; size_t firstNotReached; } const cases[] = {
        { {}, 0 },
        { { false, false, false }, 0 },
        { { true, true, true }, 3 },
        { { true, false, true, false, false }, 3 },  // line 1 failed; 3 and 4 never started
        { { false, true, false }, 2 },
    };
    for (const Case& c : cases) {
        Outputs outputs(c.written.size());
        outputs.written = c.written;
        EXPECT_EQ(FirstLineNotReached(c.written.size(), outputs.Probe()), c.firstNotReached);
    }
}
