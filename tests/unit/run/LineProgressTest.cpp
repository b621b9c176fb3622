#include "run/LineProgress.h"
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

TEST(LineProgress, FollowsOutputsInLineOrderAndNeverRunsAhead)
{
    Outputs outputs(10);
    LineProgress progress(10);
    EXPECT_EQ(progress.Current(), 0u) << "the first line is the current one before any output";
    size_t lastDone = 0;
    for (size_t line = 0; line < 10; ++line) {
        outputs.written[line] = true;
        outputs.looks = 0;
        progress.Poll(outputs.Probe());
        EXPECT_EQ(progress.Reached(), line + 1);
        EXPECT_EQ(progress.Done(), line) << "the line whose output just appeared may still be writing it";
        EXPECT_GE(progress.Done(), lastDone);
        EXPECT_LE(outputs.looks, 2u) << "one output new since the last poll, one look at the next line";
        lastDone = progress.Done();
    }
    EXPECT_EQ(progress.Current(), 9u) << "the last line stays the current one";
    EXPECT_EQ(progress.Done(), 9u) << "not all done before the run has ended";
    progress.Finish();
    EXPECT_EQ(progress.Done(), 10u);
}

// Polls of a run: lines 0-2 written; then, after waitingPolls polls without
// news (a slow file), the failing lines and the output after them. How many
// polls it takes to see that output.
size_t PollsToPassFailingLines(size_t failing, size_t waitingPolls)
{
    const size_t lines = 3 + failing + 100000;
    Outputs outputs(lines);
    LineProgress progress(lines);
    for (size_t line = 0; line < 3; ++line)
        outputs.written[line] = true;
    progress.Poll(outputs.Probe());
    EXPECT_EQ(progress.Reached(), 3u);
    for (size_t poll = 0; poll < waitingPolls; ++poll)
        progress.Poll(outputs.Probe());
    const size_t next = 3 + failing;
    outputs.written[next] = true;
    size_t polls = 0;
    while (progress.Reached() <= next && polls < 100000) {
        outputs.looks = 0;
        progress.Poll(outputs.Probe());
        ++polls;
        EXPECT_LE(outputs.looks, kMostLooksWithoutNews + 1) << "a poll never scans the folder";
    }
    EXPECT_EQ(progress.Reached(), next + 1);
    return polls;
}

TEST(LineProgress, PassesFailingLinesByTheOutputsAfterThemSoon)
{
    // At four polls a second: six failing lines in a row are passed within
    // two seconds, also after a slow file kept the count still for minutes;
    // any longer stretch is passed in the end.
    struct Case { size_t failing; size_t waitingPolls; size_t mostPolls; } const cases[] = {
        { 1, 0, 1 },
        { LineProgress::kNearLines, 0, 1 },
        { 6, 0, 8 },
        { 6, 1000, 8 },
        { 6, 1001, 8 },
        { 15, 1000, 8 },
        { 50, 0, 64 },
        { 5000, 0, 2 * 5000 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.failing << " failing after " << c.waitingPolls << " polls");
        EXPECT_LE(PollsToPassFailingLines(c.failing, c.waitingPolls), c.mostPolls);
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
    struct Case { std::vector<bool> written; size_t reached; size_t firstNotReached; } const cases[] = {
        { {}, 0, 0 },
        { { false, false, false }, 0, 0 },
        { { true, true, true }, 0, 3 },
        { { true, false, true, false, false }, 0, 3 },  // line 1 failed; 3 and 4 never started
        { { false, true, false }, 0, 2 },
        { { true, true, false, true, false }, 2, 4 },   // looked for from where the progress was
    };
    for (const Case& c : cases) {
        Outputs outputs(c.written.size());
        outputs.written = c.written;
        EXPECT_EQ(FirstLineNotReached(c.written.size(), c.reached, outputs.Probe()), c.firstNotReached);
    }
}

TEST(LineProgress, AStopEarlyInALongRunLooksAtAFewLinesOnly)
{
    Outputs outputs(100000);
    for (size_t line = 0; line < 12; ++line)
        outputs.written[line] = line != 10;  // line 10 failed just before the stop
    EXPECT_EQ(FirstLineNotReached(100000, 10, outputs.Probe()), 12u);
    EXPECT_LE(outputs.looks, 100u);
}
