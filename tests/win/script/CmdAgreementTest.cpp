// Real cmd against the model of it: batch lines run by the interpreter as
// Parvane starts it, with a stand-in dcmdjpeg.exe that records the arguments
// it gets (argv as its run-time splits them, and GetCommandLineW), on a
// Japanese system (OEM and ANSI code page 932).
#include "BatchLineProperty.h"
#include "CmdKnownCases.h"
#include "FileBytes.h"
#include "run/BatchRunner.h"
#include "script/BatchEncoding.h"
#include "win_paths.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <random>

using namespace cmdmodel;

namespace {

struct Recorded {
    std::wstring commandLine;        // GetCommandLineW
    std::vector<std::wstring> argv;  // the run-time's split, from the ANSI code page
};

std::string Narrow(const std::wstring& text)
{
    std::string bytes;
    CodePageFromWide(text, CP_UTF8, bytes);
    return bytes;
}

class RealCmd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::GetACP(), 932u) << "run under Wine with LC_ALL=ja_JP.UTF-8";
        ASSERT_EQ(::GetOEMCP(), 932u);
        folder = std::filesystem::temp_directory_path() / L"parvane-cmd-agreement";
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(STANDIN_DCMDJPEG_PATH, folder / L"dcmdjpeg.exe",
                                   std::filesystem::copy_options::overwrite_existing);
        ::SetEnvironmentVariableW(kKnownVariable, kKnownValue);
    }
    // Wine may still hold the folder for a moment after the interpreter ended.
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    // Runs the batch file's bytes as Parvane does (or with /v:on) and returns
    // what the stand-in recorded, in order.
    std::vector<Recorded> RunBatch(const std::string& bytes, bool delayedExpansion = false)
    {
        const std::filesystem::path batch = folder / L"case.bat";
        const std::filesystem::path log = folder / L"args.log";
        WriteFileBytes(batch, bytes);
        std::filesystem::remove(log);

        std::wstring commandLine = InterpreterCommandLine(batch.wstring());
        if (delayedExpansion)
            commandLine.replace(commandLine.find(L"/v:off"), 6, L"/v:on");
        wchar_t system[MAX_PATH] = {};
        ::GetSystemDirectoryW(system, MAX_PATH);
        const std::wstring interpreter = std::wstring(system) + L"\\cmd.exe";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        if (!::CreateProcessW(interpreter.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                              nullptr, folder.c_str(), &startup, &info)) {
            ADD_FAILURE() << "cmd did not start";
            return {};
        }
        ::WaitForSingleObject(info.hProcess, 60000);
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);

        const std::string recorded = ReadFileBytes(log);
        const std::wstring text(reinterpret_cast<const wchar_t*>(recorded.data()), recorded.size() / 2);
        std::vector<Recorded> runs;
        size_t start = 0;
        for (size_t end; (end = text.find(L'\x2', start)) != std::wstring::npos; start = end + 1) {
            Recorded run;
            size_t field = start;
            bool first = true;
            for (size_t stop; (stop = text.find(L'\x1', field)) < end; field = stop + 1) {
                std::wstring value = text.substr(field, stop - field);
                if (first)
                    run.commandLine = value;
                else
                    run.argv.push_back(value);
                first = false;
            }
            runs.push_back(run);
        }
        return runs;
    }

    std::filesystem::path folder;
};

Runs ArgumentLists(const std::vector<Recorded>& runs)
{
    Runs lists;
    for (const Recorded& run : runs)
        lists.push_back(run.argv);
    return lists;
}

std::string Shown(const Runs& runs)
{
    std::string shown;
    for (const auto& run : runs) {
        shown += "\n   ";
        for (const std::wstring& arg : run)
            shown += " [" + Narrow(arg) + "]";
    }
    return shown.empty() ? " (none)" : shown;
}

}  // namespace

TEST_F(RealCmd, RunsTheModelsKnownCasesAsTheModelSays)
{
    for (const KnownCase& c : KnownCases()) {
        std::string bytes;
        ASSERT_TRUE(CodePageFromWide(c.line, ::GetOEMCP(), bytes)) << c.what;
        const std::vector<Recorded> runs = RunBatch(bytes + "\r\n", c.delayedExpansion);
        Runs got = ArgumentLists(runs);
        Runs expected = c.runs;
        // A pipe's two sides run side by side: their order is not the point.
        std::sort(got.begin(), got.end());
        std::sort(expected.begin(), expected.end());
        if (c.notOnWine) {
            std::printf("not checked against Wine: %s (%s); Wine ran:%s\n", c.what, c.notOnWine, Shown(got).c_str());
            continue;
        }
        EXPECT_EQ(got, expected) << c.what << "\nWine ran:" << Shown(got) << "\nthe model says:" << Shown(expected);

        // The command line itself, where the model and Wine agree on one run.
        const LineReading reading = ReadLine(c.line, KnownCaseEnvironment(c.delayedExpansion));
        if (runs.size() == 1 && reading.commands.size() == 1) {
            EXPECT_EQ(runs[0].commandLine, reading.commands[0].text) << c.what;
        }
    }
}

// Wine's cmd reads a line of a batch file in at most 8192 bytes; the rest of
// a longer line is read as a line of its own, outside the quotes it was in.
TEST_F(RealCmd, ReadsTheRestOfALineOverTheLimitAsACommand)
{
    const std::string line = "dcmdjpeg \"" + std::string(8182, 'a') + "X&dcmdjpeg injected&\"\r\n";
    const Runs got = ArgumentLists(RunBatch(line));
    EXPECT_EQ(got, (Runs{ { L"dcmdjpeg", std::wstring(8181, L'a') }, { L"dcmdjpeg", L"injected" } }));
    // The model cuts at 8191 bytes and keeps the byte Wine drops; the same
    // dcmdjpeg runs either way.
    Runs model;
    for (const std::string& read : SplitBatchLines(line)) {
        const Runs runs = ProgramRuns(std::wstring(read.begin(), read.end()), KnownCaseEnvironment(false), L"dcmdjpeg");
        model.insert(model.end(), runs.begin(), runs.end());
    }
    EXPECT_EQ(model, got);
}

// Windows drops every CR of a batch line (and so does the model); Wine's cmd
// ends the line at a lone CR instead and skips the byte after it, as if it
// were the LF of a CR LF. Parvane writes no CR into a line.
TEST_F(RealCmd, EndsALineAtALoneCarriageReturnWhereTheModelDropsIt)
{
    const std::string bytes = "dcmdjpeg a\rdcmdjpeg b\r\n";
    EXPECT_EQ(ArgumentLists(RunBatch(bytes)), (Runs{ { L"dcmdjpeg", L"a" } }));  // then "cmdjpeg b"
    const std::vector<std::string> lines = SplitBatchLines(bytes);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(ProgramRuns(std::wstring(lines[0].begin(), lines[0].end()), KnownCaseEnvironment(false), L"dcmdjpeg"),
              (Runs{ { L"dcmdjpeg", L"adcmdjpeg", L"b" } }));
}

// The property with the encoder Parvane really uses, and a sample of the
// accepted lines run by the real interpreter: every one runs dcmdjpeg once,
// with exactly its two paths.
TEST_F(RealCmd, AcceptedRandomNamesRunDcmdjpegWithExactlyTheirTwoPaths)
{
    const batchproperty::System system{ &CodePageNumbered(::GetOEMCP()), &CodePageNumbered(::GetACP()) };
    std::mt19937 random(1210);
    std::string batch;
    Runs expected;
    for (int n = 0; n < 3000; ++n) {
        const std::vector<uint8_t> data = batchproperty::RandomInputBytes(random);
        batchproperty::Input input = batchproperty::InputFromBytes(data.data(), data.size());
        ASSERT_EQ(batchproperty::Check(input, system, &EncodeForBatchFile), "") << "input " << n;

        if (expected.size() >= 80 || input.inputFolder.empty() || input.outputFolder.empty() ||
            !IsSafeFolderText(input.inputFolder) || !IsSafeFolderText(input.outputFolder))
            continue;
        AppendBackslashIfMissing(input.inputFolder);
        AppendBackslashIfMissing(input.outputFolder);
        ConversionScript script(input.inputFolder, input.outputFolder, &EncodeForBatchFile);
        script.AddFile(input.fileName);
        if (script.FilesWithLine().empty())
            continue;
        batch += script.Bytes();
        expected.push_back({ L"dcmdjpeg", input.inputFolder + input.fileName, input.outputFolder + input.fileName });
    }
    ASSERT_GE(expected.size(), 20u) << "too few accepted names to run";
    EXPECT_EQ(ArgumentLists(RunBatch(batch)), expected);
}
