// A run the user can follow and stop, and one run at a time per working
// folder: the dialog answers during the run, the shell's progress window shows
// how far it has come, its cancel button stops the run after the file being
// converted, and a second Parvane in the same working folder is turned away.
// With the real dcmdjpeg.exe.
#include "DicomBytes.h"
#include "ConversionFixture.h"
#include "Driver.h"
#include "LinuxSide.h"
#include "resource.h"
#include <gtest/gtest.h>
#include <tlhelp32.h>
#include <winternl.h>
#include <cstdio>
#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>

using namespace e2e;
namespace fs = std::filesystem;

namespace {

constexpr Duration kRunTimeout = 180s;
const std::wstring kSkippedCaption = L"変換しなかったファイルがあります";
const std::wstring kInUseCaption = L"一括変換を開始できません";

using Clock = std::chrono::steady_clock;

// The plain files of a folder in the order the platform's search gives them,
// which is the order of the batch file's lines.
std::vector<std::wstring> SearchOrder(const fs::path& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE search = ::FindFirstFileW((folder / L"*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(entry.cFileName);
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
    return names;
}

size_t FilesIn(const fs::path& folder)
{
    if (!fs::exists(folder))
        return 0;
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// The processes of the program running now, opened so that their end can be read.
std::vector<HANDLE> OpenRunning(const wchar_t* program)
{
    std::vector<HANDLE> processes;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, program) != 0)
            continue;
        HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        if (process)
            processes.push_back(process);
    }
    ::CloseHandle(snapshot);
    return processes;
}

std::vector<HANDLE> OpenRunningConverters()
{
    return OpenRunning(L"dcmdjpeg.exe");
}

// The command line of a running process, read from its process parameters;
// empty when they cannot be read (yet).
std::wstring CommandLineOf(HANDLE process)
{
    using QueryProcess = LONG(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    static const auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    PEB peb{};
    RTL_USER_PROCESS_PARAMETERS parameters{};
    if (!query || query(process, ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0 ||
        !::ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof(peb), nullptr) || !peb.ProcessParameters ||
        !::ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof(parameters), nullptr))
        return {};
    std::wstring text(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
    if (text.empty() ||
        !::ReadProcessMemory(process, parameters.CommandLine.Buffer, &text[0], parameters.CommandLine.Length, nullptr))
        return {};
    return text;
}

// Follows the dcmdjpeg processes that one Parvane's run starts (a dcmdjpeg
// whose parent's parent is that Parvane: other tests run beside this one) and
// tells the furthest line any of them ran, by the input its command line
// names. Looking every 10 ms under load can miss a quick line, but not the
// slow ones that matter here; the interpreter runs the lines in order, so
// every line before the furthest one started too. A program the stop ended
// before it ran (exit code ERROR_CANCELLED) started no line.
class LineWatch {
public:
    LineWatch(DWORD parvane, std::vector<std::wstring> inputs)
        : m_parvane(parvane), m_inputs(std::move(inputs)), m_thread([this] { Watch(); })
    {
    }
    ~LineWatch() { Finish(); }
    LineWatch(const LineWatch&) = delete;
    LineWatch& operator=(const LineWatch&) = delete;

    // Once the run has ended: the lines started, as far as the furthest one seen.
    size_t Finish()
    {
        m_done = true;
        if (m_thread.joinable())
            m_thread.join();
        for (auto& [id, seen] : m_seen) {
            DWORD code = STILL_ACTIVE;
            ::GetExitCodeProcess(seen.process, &code);
            if (code != ERROR_CANCELLED)
                m_started = std::max(m_started, seen.line + 1);
            ::CloseHandle(seen.process);
        }
        m_seen.clear();
        return m_started;
    }

private:
    struct Seen {
        HANDLE process;
        size_t line;
    };

    void Watch()
    {
        while (!m_done) {
            Look();
            ::Sleep(10);
        }
    }

    void Look()
    {
        std::map<DWORD, DWORD> parentOf;
        std::vector<DWORD> converters;
        HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
            parentOf[entry.th32ProcessID] = entry.th32ParentProcessID;
            if (_wcsicmp(entry.szExeFile, L"dcmdjpeg.exe") == 0)
                converters.push_back(entry.th32ProcessID);
        }
        ::CloseHandle(snapshot);
        for (DWORD id : converters) {
            const auto parent = parentOf.find(parentOf[id]);
            if (parent == parentOf.end() || parent->second != m_parvane || m_seen.count(id) != 0)
                continue;
            HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
            const std::optional<size_t> line = process ? LineOf(CommandLineOf(process)) : std::nullopt;
            if (line)
                m_seen.emplace(id, Seen{ process, *line });
            else if (process)
                ::CloseHandle(process);
        }
    }

    std::optional<size_t> LineOf(const std::wstring& commandLine) const
    {
        for (size_t line = 0; line < m_inputs.size(); ++line) {
            if (commandLine.find(L"\\" + m_inputs[line] + L"\"") != std::wstring::npos)
                return line;
        }
        return std::nullopt;
    }

    DWORD m_parvane;
    std::vector<std::wstring> m_inputs;
    std::atomic<bool> m_done{ false };
    std::map<DWORD, Seen> m_seen;  // each process kept open to read its end
    size_t m_started = 0;
    std::thread m_thread;
};

// Runs dcmdjpeg once on a file, as a line of the batch file would.
double SecondsForOneFile(const fs::path& work, const fs::path& input)
{
    std::wstring commandLine = L"dcmdjpeg.exe \"" + input.wstring() + L"\" \"" + (work / L"timing.dcm").wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    auto start = Clock::now();
    if (!::CreateProcessW((work / L"dcmdjpeg.exe").c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                          nullptr, work.c_str(), &startup, &info))
        return -1;
    ::WaitForSingleObject(info.hProcess, INFINITE);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    fs::remove(work / L"timing.dcm");
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class RunProgress : public ConversionFixture {
protected:
    // count copies of lossless.dcm named image000.dcm ..., then the given
    // fixture (slow.dcm, slowest.dcm) at the given places of the search
    // order; returns that order.
    std::vector<std::wstring> MakeInput(const fs::path& in, int count, const std::vector<size_t>& places = {},
                                        const std::wstring& fixture = L"slow")
    {
        fs::create_directories(in);
        for (int i = 0; i < count; ++i) {
            wchar_t name[32];
            swprintf(name, 32, L"image%03d.dcm", i);
            fs::copy_file(DicomFixtureFolder() / L"lossless.dcm", in / name);
        }
        std::vector<std::wstring> order = SearchOrder(in);
        const std::string bytes = places.empty() ? std::string() : ReadFileBytes(DicomFixtureFolder() / (fixture + L".dcm"));
        for (size_t place : places) {
            WriteFileBytes(in / order.at(place), bytes);
            fixtureOf[order.at(place)] = fixture;
        }
        return order;
    }

    // The pixels an output must hold: those of its input's fixture.
    std::string ExpectedPixels(const std::wstring& name) const
    {
        auto placed = fixtureOf.find(name);
        return ReadFileBytes(DicomFixtureFolder() / ((placed == fixtureOf.end() ? L"lossless" : placed->second) + L".raw"));
    }

    // Another Parvane in the same working folder presses 一括変換 with these
    // folders; the box it shows, a null view when none came.
    static MessageBoxView ClickInAnotherParvane(ParvaneProcess& other, const fs::path& input, const fs::path& output)
    {
        if (!other.WaitForMainWindow())
            return {};
        other.SetControlText(IDC_EDIT_INPUT, input.wstring());
        other.SetControlText(IDC_EDIT_OUTPUT, output.wstring());
        other.Click(IDC_BUTTON_CONVERT);
        return other.WaitForMessageBox();
    }

    std::map<std::wstring, std::wstring> fixtureOf;
};

// The dialog also refuses the end of the session while the run goes on.
TEST_F(RunProgress, TwoHundredFilesWithTheDialogAnsweringAndTheCountRisingToTheEnd)
{
    const fs::path in = work / L"in";
    const fs::path out = work / L"out";
    fs::create_directories(out);
    // The last file takes about half a second, so that the window shows it
    // for a while.
    const std::vector<std::wstring> order = MakeInput(in, 200, { 199 }, L"slowest");
    Start(in.wstring(), out.wstring());
    parvane->Click(IDC_BUTTON_CONVERT);
    const HWND window = parvane->WaitForProgressWindow(30s);
    ASSERT_NE(window, nullptr);

    // Nothing of the dialog acts during the run: no field, no button, no close request.
    for (int id : { IDC_EDIT_INPUT, IDC_EDIT_OUTPUT, IDC_BUTTON_BROWSE_INPUT, IDC_BUTTON_BROWSE_OUTPUT,
                    IDC_BUTTON_CONVERT, IDC_BUTTON_EXIT })
        EXPECT_FALSE(::IsWindowEnabled(parvane->Control(id))) << id;
    ::PostMessageW(parvane->MainWindow(), WM_CLOSE, 0, 0);
    parvane->Click(IDC_BUTTON_EXIT);
    parvane->Click(IDC_BUTTON_CONVERT);
    EXPECT_EQ(AnswerToEndOfSession(parvane->MainWindow()), FALSE) << "no log-off in the middle of a write";

    std::vector<int> counts;
    std::vector<std::wstring> titles;
    int probes = 0, unanswered = 0, screenshots = 0, total = 0;
    while (::IsWindow(window)) {
        DWORD_PTR result = 0;
        ++probes;
        if (!::SendMessageTimeoutW(parvane->MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result))
            ++unanswered;
        const ProgressView view = ReadProgressWindow(window);
        const int count = view.Count(&total);
        if (count > 0) {
            counts.push_back(count);
            titles.push_back(view.title);
        }
        if ((screenshots == 0 && count >= 50) || (screenshots == 1 && count >= 150)) {
            ++screenshots;
            EXPECT_TRUE(SaveScreenshot(window, ArtifactFolder() / (L"progress-" + std::to_wstring(screenshots) + L".bmp")));
        }
        ::Sleep(20);
    }
    MessageBoxView box;
    ASSERT_TRUE(WaitFor([&] { return parvane->WaitUntilResponsive(0ms) || (box = parvane->WaitForMessageBox(0ms)).hwnd; },
                        kRunTimeout));
    ASSERT_EQ(box.hwnd, nullptr) << "a box after the run: " << fs::path(box.text).string();

    EXPECT_EQ(unanswered, 0) << "of " << probes << " probes";
    EXPECT_GT(probes, 20);
    ASSERT_FALSE(counts.empty());
    EXPECT_TRUE(std::is_sorted(counts.begin(), counts.end())) << "the count never falls";
    EXPECT_EQ(counts.back(), 200);
    EXPECT_EQ(total, 200);
    EXPECT_EQ(titles.front(), L"一括変換");
    EXPECT_EQ(screenshots, 2);

    EXPECT_TRUE(parvane->NoMessageBoxWithin(1s)) << "every file converted";
    EXPECT_EQ(AnswerToEndOfSession(parvane->MainWindow()), TRUE) << "after the run the session may end";
    EXPECT_TRUE(parvane->Running()) << "the exit button did not act during the run";
    EXPECT_TRUE(::IsWindowVisible(parvane->MainWindow())) << "the close request did not act either";
    for (int id : { IDC_EDIT_INPUT, IDC_BUTTON_CONVERT, IDC_BUTTON_EXIT })
        EXPECT_TRUE(::IsWindowEnabled(parvane->Control(id))) << id;
    EXPECT_EQ(FilesIn(out), 200u);
    for (const std::wstring& name : { order.front(), order.back() })
        EXPECT_EQ(PixelData(ReadFileBytes(out / name)), ExpectedPixels(name));
}

TEST_F(RunProgress, CancelEndsTheRunAfterTheFileBeingConverted)
{
    const fs::path in = work / L"in";
    const fs::path out = work / L"out";
    fs::create_directories(out);
    // Slow files around the place of the stop, so that one is being converted.
    std::vector<size_t> slowAt;
    for (size_t place = 15; place < 40; ++place)
        slowAt.push_back(place);
    const std::vector<std::wstring> order = MakeInput(in, 200, slowAt);
    const double oneFile = SecondsForOneFile(work, in / order[20]);
    ASSERT_GT(oneFile, 0);

    Start(in.wstring(), out.wstring());
    parvane->Click(IDC_BUTTON_CONVERT);
    const HWND window = parvane->WaitForProgressWindow(30s);
    ASSERT_NE(window, nullptr);
    ProgressView view;
    std::vector<HANDLE> converters;
    ASSERT_TRUE(WaitFor([&] {
        view = ReadProgressWindow(window);
        if (view.Count() < 20)
            return false;
        converters = OpenRunningConverters();
        return !converters.empty();
    }, 60s)) << "a dcmdjpeg runs after about 20 files";
    ASSERT_NE(view.cancel, nullptr);
    const auto pressed = Clock::now();
    ::PostMessageW(view.cancel, BM_CLICK, 0, 0);

    MessageBoxView box = parvane->WaitForMessageBox(kRunTimeout);
    const double took = std::chrono::duration<double>(Clock::now() - pressed).count();
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_LE(took, oneFile + 2.0) << "one file takes " << oneFile << " s";
    std::printf("stop: the run ended %.2f s after the press; one slow file takes %.2f s\n", took, oneFile);
    for (HANDLE converter : converters) {
        DWORD code = STILL_ACTIVE;
        EXPECT_EQ(::WaitForSingleObject(converter, 0), WAIT_OBJECT_0) << "Parvane waited for it";
        ::GetExitCodeProcess(converter, &code);
        EXPECT_EQ(code, 0u) << "the dcmdjpeg running at the stop finished its file";
        ::CloseHandle(converter);
    }

    // The files reached are whole, in line order; nothing after them was started.
    size_t reached = 0;
    while (reached < order.size() && fs::exists(out / order[reached]))
        ++reached;
    EXPECT_GE(reached, 20u);
    EXPECT_LT(reached, 200u);
    EXPECT_EQ(FilesIn(out), reached) << "no partial output, no output out of order";
    for (size_t line = 0; line < reached; ++line)
        EXPECT_EQ(PixelData(ReadFileBytes(out / order[line])), ExpectedPixels(order[line])) << line;

    EXPECT_EQ(box.caption, kSkippedCaption);
    const size_t notReached = order.size() - reached;
    EXPECT_NE(box.text.find(L"中止したため変換していません（" + std::to_wstring(notReached) + L" 件）:\n    " + order[reached]),
              std::wstring::npos);
    EXPECT_EQ(box.text.find(L"dcmdjpeg が出力ファイルを書きませんでした"), std::wstring::npos);
    SaveScreenshot(box.hwnd, ArtifactFolder() / L"stopped-box.bmp");
    parvane->Answer(box, IDOK);
    EXPECT_TRUE(parvane->WaitUntilResponsive(5s));
}

// A stop amid failing lines: the lines started keep their own reasons, the
// one failing at the stop too; only the lines never started are listed as
// not reached. Lines 10 to 12 are no DICOM files; lines 13 to 21 are slow
// images whose outputs cannot be written (a folder of that name is in the
// way); the rest convert.
TEST_F(RunProgress, AStopAmidFailingLinesKeepsTheReasonsOfEveryLineStarted)
{
    const fs::path in = work / L"in";
    const fs::path out = work / L"out";
    std::vector<size_t> slowAt;
    for (size_t place = 13; place < 22; ++place)
        slowAt.push_back(place);
    const std::vector<std::wstring> order = MakeInput(in, 60, slowAt, L"slowest");
    for (size_t line = 10; line < 13; ++line)
        WriteFileBytes(in / order[line], "not a DICOM file");
    for (size_t line : slowAt)
        fs::create_directories(out / order[line]);

    Start(in.wstring(), out.wstring());
    LineWatch lines(parvane->Id(), order);
    parvane->Click(IDC_BUTTON_CONVERT);
    const HWND window = parvane->WaitForProgressWindow(30s);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitFor([&] { return fs::exists(out / order[9]); }, 60s));
    ::Sleep(2000);  // past the lines without DICOM, into the slow ones
    const ProgressView view = ReadProgressWindow(window);
    ASSERT_NE(view.cancel, nullptr);
    ::PostMessageW(view.cancel, BM_CLICK, 0, 0);
    MessageBoxView box = parvane->WaitForMessageBox(kRunTimeout);
    ASSERT_NE(box.hwnd, nullptr);
    const size_t started = lines.Finish();

    std::printf("stop: %zu lines started\n", started);
    ASSERT_GT(started, 13u) << "the stop came during the slow failing lines";
    ASSERT_LE(started, 22u) << "the stop came during the slow failing lines";
    for (size_t line = 22; line < order.size(); ++line)
        EXPECT_FALSE(fs::exists(out / order[line])) << line;
    EXPECT_EQ(box.caption, kSkippedCaption);
    EXPECT_NE(box.text.find(L"DICOM ファイルではありません（3 件）:\n    " + order[10]), std::wstring::npos) << box.text;
    EXPECT_NE(box.text.find(L"dcmdjpeg が出力ファイルを書きませんでした（読み込めない、壊れている など）（" +
                            std::to_wstring(started - 13) + L" 件）:\n    " + order[13]),
              std::wstring::npos) << box.text;
    EXPECT_NE(box.text.find(L"    " + order[started - 1] + L"\n"), std::wstring::npos) << "the line failing at the stop";
    EXPECT_NE(box.text.find(L"中止したため変換していません（" + std::to_wstring(order.size() - started) + L" 件）:\n    " +
                            order[started]),
              std::wstring::npos) << box.text;
    parvane->Answer(box, IDOK);
    EXPECT_TRUE(parvane->WaitUntilResponsive(5s));
}

// Cancel during the preparation of a large folder: the dialog answers
// meanwhile, and nothing is written, neither the batch file nor the output
// folder the user agreed to have made.
TEST_F(RunProgress, CancelBeforeTheConversionWritesNothing)
{
    const fs::path in = DicomFixtureFolder() / L"many";
    const fs::path out = work / L"out";
    Start(in.wstring(), out.wstring());
    parvane->Click(IDC_BUTTON_CONVERT);
    MessageBoxView question = parvane->WaitForMessageBox();
    ASSERT_EQ(question.caption, L"出力フォルダがありません");
    parvane->Answer(question, IDYES);
    const HWND window = parvane->WaitForProgressWindow(30s);
    ASSERT_NE(window, nullptr);
    ProgressView view = ReadProgressWindow(window);
    ASSERT_NE(view.cancel, nullptr);
    EXPECT_EQ(view.Count(), -1) << "no count of converted files yet";
    EXPECT_NE(AnswerToEndOfSession(parvane->MainWindow()), -1) << "the dialog answers while the files are read";
    SaveScreenshot(window, ArtifactFolder() / L"progress-preparing.bmp");
    ::PostMessageW(view.cancel, BM_CLICK, 0, 0);
    ASSERT_TRUE(parvane->WaitUntilResponsive(60s));
    EXPECT_TRUE(parvane->NoMessageBoxWithin(1s));
    EXPECT_FALSE(fs::exists(work / L"uncompress.bat"));
    EXPECT_FALSE(fs::exists(out));
}

// The interpreter, ended by the stop while it was starting dcmdjpeg, can
// leave a program created but never let run; the run must not wait for it.
TEST_F(RunProgress, CancelEndsAProgramTheInterpreterLeftUnstarted)
{
    const fs::path in = work / L"in";
    const fs::path out = work / L"out";
    fs::create_directories(out);
    const std::vector<std::wstring> order = MakeInput(in, 3);
    const fs::path log = work / L"interpreter.log";
    ScopedEnvironment comSpec(L"ComSpec", StandInInterpreterExe());
    ScopedEnvironment logPath(L"PARVANE_STANDIN_LOG", log.wstring());
    ScopedEnvironment unstarted(L"PARVANE_STANDIN_LEAVE_UNSTARTED", L"1");
    Start(in.wstring(), out.wstring());
    parvane->Click(IDC_BUTTON_CONVERT);
    const HWND window = parvane->WaitForProgressWindow(30s);
    ASSERT_NE(window, nullptr);
    // The log holds the command line, the start and the unstarted copy's id.
    DWORD copyId = 0;
    ASSERT_TRUE(WaitFor([&] {
        std::istringstream lines(ReadFileBytes(log));
        std::string line;
        for (int i = 0; i < 3 && std::getline(lines, line); ++i)
            copyId = i == 2 ? static_cast<DWORD>(std::stoul(line)) : 0;
        return copyId != 0;
    }, 30s));
    HANDLE copy = ::OpenProcess(SYNCHRONIZE, FALSE, copyId);
    ASSERT_NE(copy, nullptr);

    const ProgressView view = ReadProgressWindow(window);
    ASSERT_NE(view.cancel, nullptr);
    ::PostMessageW(view.cancel, BM_CLICK, 0, 0);
    MessageBoxView box = parvane->WaitForMessageBox(10s);
    ASSERT_NE(box.hwnd, nullptr) << "the run ended";
    EXPECT_EQ(::WaitForSingleObject(copy, 0), WAIT_OBJECT_0) << "the unstarted program was ended";
    ::CloseHandle(copy);
    EXPECT_NE(box.text.find(L"中止したため変換していません（3 件）"), std::wstring::npos);
    parvane->Answer(box, IDOK);
    EXPECT_TRUE(parvane->WaitUntilResponsive(5s));
}

TEST_F(RunProgress, SecondParvaneInTheSameWorkingFolderIsTurnedAwayAndChangesNothing)
{
    const fs::path firstIn = work / L"first-in";
    const fs::path firstOut = work / L"first-out";
    const fs::path secondIn = work / L"second-in";
    const fs::path secondOut = work / L"second-out";  // missing: nothing may create it
    fs::create_directories(firstOut);
    const std::vector<std::wstring> firstFiles = MakeInput(firstIn, 3);
    fs::create_directories(secondIn);
    for (const wchar_t* name : { L"other1.dcm", L"other2.dcm" })
        fs::copy_file(DicomFixtureFolder() / L"lossless.dcm", secondIn / name);

    // The stand-in interpreter waits without opening the batch file, so that
    // only Parvane's own hold keeps it; then it runs the real cmd.
    const fs::path go = work / L"go";
    const fs::path log = work / L"interpreter.log";
    ScopedEnvironment comSpec(L"ComSpec", StandInInterpreterExe());
    ScopedEnvironment logPath(L"PARVANE_STANDIN_LOG", log.wstring());
    ScopedEnvironment waitFor(L"PARVANE_STANDIN_WAIT_FOR", go.wstring());
    ScopedEnvironment runCmd(L"PARVANE_STANDIN_RUN_CMD", L"1");
    Start(firstIn.wstring(), firstOut.wstring());
    parvane->Click(IDC_BUTTON_CONVERT);
    ASSERT_TRUE(WaitFor([&] { return fs::exists(log); }, 30s)) << "the first run has started its interpreter";
    const std::string batch = ReadFileBytes(work / L"uncompress.bat");
    ASSERT_FALSE(batch.empty());

    // Nobody can rewrite or delete the batch file during the run.
    HANDLE writer = ::CreateFileW((work / L"uncompress.bat").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE)
        ::CloseHandle(writer);
    EXPECT_FALSE(::DeleteFileW((work / L"uncompress.bat").c_str()));

    ParvaneProcess second(work);
    MessageBoxView box = ClickInAnotherParvane(second, secondIn, secondOut);
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.caption, kInUseCaption);
    EXPECT_EQ(box.text.rfind(L"別の一括変換が、この作業フォルダの uncompress.bat を使用しています。"
                             L"その変換が終わってから、もう一度お試しください。", 0), 0u) << box.text.size();
    EXPECT_NE(box.text.find((work / L"uncompress.bat").wstring()), std::wstring::npos) << std::string(box.text.begin(), box.text.end());
    EXPECT_TRUE(box.hasIcon);
    EXPECT_EQ(box.buttons, std::vector<int>{ IDOK });
    SaveScreenshot(box.hwnd, ArtifactFolder() / L"batch-file-in-use.bmp");
    second.Answer(box, IDOK);
    EXPECT_TRUE(second.NoMessageBoxWithin(1s)) << "no question about the missing output folder";
    EXPECT_FALSE(fs::exists(secondOut));
    EXPECT_EQ(ReadFileBytes(work / L"uncompress.bat"), batch);

    WriteFileBytes(go, "");
    ASSERT_TRUE(parvane->WaitUntilResponsive(kRunTimeout));
    EXPECT_TRUE(parvane->NoMessageBoxWithin(1s));
    EXPECT_EQ(FilesIn(firstOut), firstFiles.size()) << "the first run converted exactly its own files";
    for (const std::wstring& name : firstFiles)
        EXPECT_EQ(PixelData(ReadFileBytes(firstOut / name)), ExpectedPixels(name));
    EXPECT_FALSE(fs::exists(secondOut));
    EXPECT_FALSE(fs::exists(firstOut / L"other1.dcm"));

    // Once the first run has ended, the second can run.
    second.Click(IDC_BUTTON_CONVERT);
    MessageBoxView question = second.WaitForMessageBox();
    EXPECT_EQ(question.caption, L"出力フォルダがありません");
    second.Answer(question, IDYES);
    ASSERT_TRUE(second.WaitUntilResponsive(kRunTimeout));
    EXPECT_TRUE(second.NoMessageBoxWithin(1s));
    EXPECT_EQ(FilesIn(secondOut), 2u);
}

// Ended from the task manager during a run, Parvane lets go of the batch
// file, while the interpreter goes on reading it line by line. A Parvane
// started then is turned away until the interpreter has ended, also when it
// names the working folder another way (here through a link to it). The
// stand-in interpreter waits without opening the batch file, as the system's
// does between lines: only the hold it inherited keeps the file.
TEST_F(RunProgress, AParvaneEndedDuringARunLeavesTheWorkingFolderInUseUntilTheRunEnds)
{
    const fs::path in = work / L"in";
    const fs::path out = work / L"out";
    fs::create_directories(out);
    MakeInput(in, 2);
    const fs::path go = work / L"go";
    const fs::path log = work / L"interpreter.log";
    ScopedEnvironment comSpec(L"ComSpec", StandInInterpreterExe());
    ScopedEnvironment logPath(L"PARVANE_STANDIN_LOG", log.wstring());
    ScopedEnvironment waitFor(L"PARVANE_STANDIN_WAIT_FOR", go.wstring());
    Start(in.wstring(), out.wstring());
    parvane->Click(IDC_BUTTON_CONVERT);
    ASSERT_TRUE(WaitFor([&] { return fs::exists(log); }, 30s)) << "the run has started its interpreter";
    const std::string batch = ReadFileBytes(work / L"uncompress.bat");
    parvane.reset();  // ended, as from the task manager

    const fs::path otherSpelling = work.parent_path() / (work.filename().wstring() + L"-link");
    const std::optional<std::string> linked =
        RunLinuxScript("ln -sfn '" + UnixPath(work) + "' '" + UnixPath(otherSpelling) + "' && echo LINKED");
    ASSERT_TRUE(linked && linked->find("LINKED") != std::string::npos);
    {
        ParvaneProcess elsewhere(otherSpelling);
        MessageBoxView box = ClickInAnotherParvane(elsewhere, in, out);
        ASSERT_NE(box.hwnd, nullptr);
        EXPECT_EQ(box.caption, kInUseCaption);
        elsewhere.Answer(box, IDOK);
    }

    ParvaneProcess second(work);
    MessageBoxView box = ClickInAnotherParvane(second, in, out);
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.caption, kInUseCaption);
    second.Answer(box, IDOK);
    EXPECT_EQ(ReadFileBytes(work / L"uncompress.bat"), batch) << "the running interpreter's file is unchanged";

    // Once the interpreter has ended, the folder is free again: the click
    // first tells what the ended Parvane's run left (the stand-in ends at
    // once, converting nothing), then runs; the stand-in starts no program
    // for any line, and the box says so.
    const std::vector<HANDLE> interpreters = OpenRunning(L"stand_in_interpreter.exe");
    ASSERT_EQ(interpreters.size(), 1u);
    WriteFileBytes(go, "");
    EXPECT_EQ(::WaitForSingleObject(interpreters[0], 30000), WAIT_OBJECT_0);
    ::CloseHandle(interpreters[0]);
    second.Click(IDC_BUTTON_CONVERT);
    box = second.WaitForMessageBox(kRunTimeout);
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.caption, L"前回の一括変換が終わっていません");
    EXPECT_NE(box.text.find(L"変換できたファイル: 0 件"), std::wstring::npos);
    EXPECT_NE(box.text.find(L"中止したため変換していません（2 件）"), std::wstring::npos);
    second.Answer(box, IDOK);
    box = second.WaitForMessageBox(kRunTimeout);
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.caption, L"dcmdjpeg.exe を起動できません");
    second.Answer(box, IDOK);
}

}  // namespace

// dcmdjpeg.exe gone during the run (quarantined by a virus scanner, say):
// the interpreter passes every later line without starting a program, and
// the report says so of each, never that the files are damaged.
TEST_F(RunProgress, LinesWhoseProgramDidNotStartAreToldApartFromFilesItFailedOn)
{
    const fs::path in = work / L"in";
    const fs::path out = work / L"out";
    fs::create_directories(out);
    const std::vector<std::wstring> order = MakeInput(in, 6, { 0 }, L"slowest");
    Start(in.wstring(), out.wstring());
    parvane->Click(IDC_BUTTON_CONVERT);
    ASSERT_TRUE(WaitFor([&] {
        const std::vector<HANDLE> running = OpenRunningConverters();
        for (HANDLE process : running)
            ::CloseHandle(process);
        return !running.empty();
    }, 60s));
    fs::rename(work / L"dcmdjpeg.exe", work / L"dcmdjpeg.exe.quarantined");
    const MessageBoxView box = parvane->WaitForMessageBox(kRunTimeout);
    ASSERT_NE(box.hwnd, nullptr);
    const std::string shown = fs::path(box.text).string();
    EXPECT_NE(box.text.find(L"dcmdjpeg.exe を起動できなかったため、変換していません"), std::wstring::npos) << shown;
    EXPECT_NE(box.text.find(L"ファイルには問題ありません（5 件）"), std::wstring::npos) << shown;
    EXPECT_EQ(box.text.find(L"dcmdjpeg が出力ファイルを書きませんでした"), std::wstring::npos) << shown;
    EXPECT_EQ(box.text.find(order[0]), std::wstring::npos) << "the first file converted: " << shown;
    parvane->Answer(box, IDOK);
    EXPECT_EQ(PixelData(ReadFileBytes(out / order[0])), ExpectedPixels(order[0]));
}

// A dcmdjpeg.exe that is there but cannot be started (blocked by a policy, or
// damaged, as here): no line starts, and one box says so and where
// dcmdjpeg.exe was looked for, with no list of files.
TEST_F(RunProgress, ALineProgramThatNeverStartsIsOneBoxNotAListOfFiles)
{
    const fs::path in = work / L"in";
    const fs::path out = work / L"out";
    fs::create_directories(out);
    MakeInput(in, 3);
    WriteFileBytes(work / L"dcmdjpeg.exe", "not a program");
    Start(in.wstring(), out.wstring());
    parvane->Click(IDC_BUTTON_CONVERT);
    MessageBoxView box = parvane->WaitForMessageBox(kRunTimeout);
    ASSERT_NE(box.hwnd, nullptr);
    SaveScreenshot(box.hwnd, ArtifactFolder() / L"line-program-not-started.bmp");
    EXPECT_EQ(box.caption, L"dcmdjpeg.exe を起動できません");
    EXPECT_NE(box.text.find(L"探した場所:\n    " + work.wstring()), std::wstring::npos) << fs::path(box.text).string();
    EXPECT_EQ(box.text.find(L".dcm"), std::wstring::npos) << fs::path(box.text).string();
    parvane->Answer(box, IDOK);
    EXPECT_TRUE(parvane->NoMessageBoxWithin(2s)) << "no list of files follows";
    EXPECT_TRUE(parvane->WaitUntilResponsive(5s));
    EXPECT_EQ(FilesIn(out), 0u);
}

// A copy into the input folder still going on while the run goes: the file
// that came after the gathering had no line, and the report says so.
TEST_F(RunProgress, AFileThatArrivesDuringTheRunIsListedAsAddedAndNotConverted)
{
    const fs::path in = work / L"in";
    const fs::path out = work / L"out";
    fs::create_directories(out);
    const std::vector<std::wstring> order = MakeInput(in, 3, { 0, 1, 2 }, L"slowest");
    Start(in.wstring(), out.wstring());
    parvane->Click(IDC_BUTTON_CONVERT);
    ASSERT_TRUE(WaitFor([&] { return fs::exists(out / order[0]); }, 60s));
    fs::copy_file(DicomFixtureFolder() / L"lossless.dcm", in / L"late.dcm");
    const MessageBoxView box = parvane->WaitForMessageBox(120s);
    ASSERT_NE(box.hwnd, nullptr);
    SaveScreenshot(box.hwnd, ArtifactFolder() / L"added-during-run.bmp");
    EXPECT_NE(box.text.find(L"変換中に入力フォルダに加わったファイルです。変換していません（もう一度［一括変換］を押してください）（1 件）:\n"
                            L"    late.dcm"),
              std::wstring::npos)
        << fs::path(box.text).string();
    parvane->Answer(box, IDOK);
    EXPECT_FALSE(fs::exists(out / L"late.dcm"));
    for (const std::wstring& name : order)
        EXPECT_EQ(PixelData(ReadFileBytes(out / name)), ExpectedPixels(name));
}
