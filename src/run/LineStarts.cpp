#include "run/LineStarts.h"
#include "run/ProcessEnvironment.h"
#include <vector>

std::wstring LineArguments(const std::wstring& inputPath, const std::wstring& outputPath)
{
    return L"\"" + inputPath + L"\" \"" + outputPath + L"\"";
}

std::vector<std::wstring> LinesNotStarted(const ConversionScript& script,
                                          const std::optional<std::vector<bool>>& started, bool stopped)
{
    std::vector<std::wstring> paths;
    if (!started)
        return paths;
    size_t passed = started->size();
    if (stopped) {
        while (passed > 0 && !(*started)[passed - 1])
            --passed;
    }
    for (size_t line = 0; line < passed; ++line) {
        if (!(*started)[line])
            paths.push_back(script.FilesWithLine()[line]);
    }
    return paths;
}

namespace {

// Windows 8.1 and later tell a process's command line themselves.
std::optional<std::wstring> AskCommandLine(HANDLE process)
{
    constexpr PROCESSINFOCLASS kProcessCommandLineInformation = static_cast<PROCESSINFOCLASS>(60);
    const QueryProcessInformation query = QueryProcessInformationFunction();
    std::vector<char> buffer(64 * 1024);
    ULONG length = 0;
    if (!query || query(process, kProcessCommandLineInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                        &length) != 0)
        return std::nullopt;
    const auto* text = reinterpret_cast<const UNICODE_STRING*>(buffer.data());
    if (!text->Buffer || text->Length == 0)
        return std::nullopt;
    return std::wstring(text->Buffer, text->Length / sizeof(wchar_t));
}

// Earlier systems: from the process parameters in its memory.
std::optional<std::wstring> ReadCommandLine(HANDLE process)
{
    const std::optional<PEB> peb = ReadEnvironmentBlock(process);
    RTL_USER_PROCESS_PARAMETERS parameters{};
    if (!peb || !peb->ProcessParameters ||
        !::ReadProcessMemory(process, peb->ProcessParameters, &parameters, sizeof(parameters), nullptr) ||
        parameters.CommandLine.Length == 0)
        return std::nullopt;
    std::wstring text(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
    if (!::ReadProcessMemory(process, parameters.CommandLine.Buffer, &text[0], parameters.CommandLine.Length, nullptr))
        return std::nullopt;
    return text;
}

// Windows writes a new process's parameters before its first thread runs;
// Wine has the new process copy them in itself, a moment later. So a process
// that cannot be read yet is asked again while it lives, for up to 2 s (told
// by its exit code: a wait on a process Wine is still making may fail). An id
// that another process has taken since (one that ended at once) is told by
// that process not being of the job; nothing then.
std::optional<std::wstring> CommandLineOf(DWORD processId, const ProcessJob& job)
{
    ScopedKernelHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process.IsValid() || !job.Holds(process.Get()))
        return std::nullopt;
    if (std::optional<std::wstring> text = AskCommandLine(process.Get()))
        return text;
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (std::optional<std::wstring> text = ReadCommandLine(process.Get()))
            return text;
        DWORD code = 0;
        if (::GetExitCodeProcess(process.Get(), &code) && code != STILL_ACTIVE)
            return std::nullopt;
        ::Sleep(10);
    }
    return std::nullopt;
}

// The console host Windows 8 and later start in the job beside the
// interpreter: conhost.exe, named first on its command line.
bool IsConsoleHost(const std::wstring& commandLine)
{
    std::wstring program = commandLine.substr(0, commandLine.find(L' '));
    const size_t name = program.find_last_of(L"\\/");
    if (name != std::wstring::npos)
        program.erase(0, name + 1);
    return _wcsicmp(program.c_str(), L"conhost.exe") == 0 || _wcsicmp(program.c_str(), L"conhost") == 0;
}

}  // namespace

LineStarts::LineStarts(const ConversionScript& script, std::wstring inputFolder)
    : m_script(script), m_inputFolder(std::move(inputFolder)), m_started(script.FilesWithLine().size(), false)
{
}

std::wstring LineStarts::ArgumentsOfLine(size_t line) const
{
    const std::wstring& name = m_script.FilesWithLine()[line];
    return LineArguments(m_inputFolder + name, m_script.OutputFolder() + name);
}

LineStarts::~LineStarts()
{
    if (m_thread.IsValid()) {
        m_job->StopWaiting();
        ::WaitForSingleObject(m_thread.Get(), INFINITE);
    }
}

bool LineStarts::Watch(ProcessJob& job, DWORD interpreterId)
{
    m_job = &job;
    m_interpreter = interpreterId;
    if (!job.ReportNewProcesses())
        return false;
    m_known = true;  // before the thread, which may find otherwise
    m_thread.Reset(::CreateThread(nullptr, 0, &LineStarts::WatchThread, this, 0, nullptr));
    if (!m_thread.IsValid())
        m_known = false;
    return m_thread.IsValid();
}

DWORD WINAPI LineStarts::WatchThread(void* self)
{
    LineStarts& starts = *static_cast<LineStarts*>(self);
    while (const std::optional<DWORD> processId = starts.m_job->NextNewProcess())
        starts.Note(*processId);
    return 0;
}

// The interpreter runs its lines in order, so the line a process runs is
// looked for from the one after the last found. The starts are left unknown
// by a process that could not be read, by an id the job reports twice (an
// ended process's id taken by a later one, which may have been read in its
// place), and by a process that runs no line and is neither the interpreter
// nor the console host Windows starts beside it: a command line in a form
// not foreseen must not make lines look unstarted.
void LineStarts::Note(DWORD processId)
{
    if (!m_known || processId == m_interpreter)
        return;
    const std::optional<std::wstring> commandLine = CommandLineOf(processId, *m_job);
    if (!commandLine || !m_ids.insert(processId).second) {
        m_known = false;
        return;
    }
    for (size_t line = m_next; line < m_started.size(); ++line) {
        if (commandLine->find(ArgumentsOfLine(line)) != std::wstring::npos) {
            m_started[line] = true;
            m_next = line + 1;
            return;
        }
    }
    if (!IsConsoleHost(*commandLine))
        m_known = false;
}

std::optional<std::vector<bool>> LineStarts::Started()
{
    if (m_thread.IsValid()) {
        m_job->StopWaiting();
        ::WaitForSingleObject(m_thread.Get(), INFINITE);
        m_thread.Reset();
    }
    if (!m_known)
        return std::nullopt;
    return m_started;
}
