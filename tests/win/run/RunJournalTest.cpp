// The journal a run leaves in the working folder: read back as written, and
// nothing from a journal cut while it was written, whose run never started.
#include "run/RunJournal.h"
#include <gtest/gtest.h>

namespace {

RunJournal SampleJournal()
{
    RunJournal journal;
    journal.inputFolder = L"C:\\検査\\in\\";
    journal.outputFolder = L"\\\\server\\share\\out 1\\";
    journal.inPlace = true;
    journal.fileSetDirectories = { L"DICOMDIR", L"cd2\\DICOMDIR" };
    RunJournal::Line plain;
    plain.path = L"患者\\IM00001";
    plain.inputSize = 123456;
    plain.outputBefore = FileState{ true, true, 789, 133000000000000000ULL };
    plain.input.hasPixelData = true;
    plain.input.outputSize = 524288;
    RunJournal::Line unknown;  // nothing known of it: every value absent
    unknown.path = L"\U0001F600 smile.dcm";
    unknown.outputBefore = FileState{ false, false, 0, 0 };
    unknown.input.tooSmallForDicom = true;
    journal.lines = { plain, unknown };
    return journal;
}

}  // namespace

TEST(RunJournal, ReadsBackWhatWasWritten)
{
    const RunJournal written = SampleJournal();
    const std::optional<RunJournal> read = ParseRunJournal(FormatRunJournal(written));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->inputFolder, written.inputFolder);
    EXPECT_EQ(read->outputFolder, written.outputFolder);
    EXPECT_TRUE(read->inPlace);
    EXPECT_EQ(read->fileSetDirectories, written.fileSetDirectories);
    ASSERT_EQ(read->lines.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const RunJournal::Line &a = written.lines[i], &b = read->lines[i];
        EXPECT_EQ(b.path, a.path);
        EXPECT_EQ(b.inputSize, a.inputSize);
        EXPECT_EQ(b.outputBefore.lookedUp, a.outputBefore.lookedUp);
        EXPECT_EQ(b.outputBefore.exists, a.outputBefore.exists);
        EXPECT_EQ(b.outputBefore.size, a.outputBefore.size);
        EXPECT_EQ(b.outputBefore.lastWrite, a.outputBefore.lastWrite);
        EXPECT_EQ(b.input.hasPixelData, a.input.hasPixelData);
        EXPECT_EQ(b.input.outputSize, a.input.outputSize);
        EXPECT_EQ(b.input.tooSmallForDicom, a.input.tooSmallForDicom);
    }
}

TEST(RunJournal, AJournalThatIsNotWholeGivesNothing)
{
    const std::string whole = FormatRunJournal(SampleJournal());
    const std::string lastLine = whole.substr(whole.rfind("line\t"));
    struct Case { const char* what; std::string text; };
    const Case cases[] = {
        { "empty", "" },
        { "cut inside a record", whole.substr(0, whole.size() - 3) },
        { "cut before its end", whole.substr(0, whole.rfind("end\t")) },
        { "a line short of its count", whole.substr(0, whole.rfind("line\t")) + "end\t2\n" },
        { "another first line", "Parvane run journal 2" + whole.substr(whole.find('\n')) },
        { "a flag that is not one", [&] { std::string t = whole; t.replace(t.find("inplace\t1"), 9, "inplace\t2"); return t; }() },
        { "a number that is not one", [&] { std::string t = whole; t.replace(t.find("\t123456\t"), 8, "\t12x456\t"); return t; }() },
        { "a record of another kind", whole.substr(0, whole.find("fileset")) + "other\tx\n" + whole.substr(whole.find("fileset")) },
        { "something after its end", whole + lastLine },
    };
    for (const Case& c : cases)
        EXPECT_FALSE(ParseRunJournal(c.text)) << c.what;
}
