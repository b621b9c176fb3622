#include "run/LineStarts.h"
#include <winternl.h>

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

std::optional<std::wstring> ReadCommandLine(HANDLE process)
{
    using QueryProcess = LONG(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    static const auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    PEB peb{};
    RTL_USER_PROCESS_PARAMETERS parameters{};
    if (!query || query(process, ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0 ||
        !basic.PebBaseAddress || !::ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof(peb), nullptr) ||
        !peb.ProcessParameters ||
        !::ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof(parameters), nullptr) ||
        parameters.CommandLine.Length == 0)
        return std::nullopt;
    std::wstring text(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
    if (!::ReadProcessMemory(process, parameters.CommandLine.Buffer, &text[0], parameters.CommandLine.Length, nullptr))
        return std::nullopt;
    return text;
}

// Windows writes a new process's parameters before its first thread runs;
// Wine has the new process copy them in itself, a moment later. So a process
// that cannot be read yet is asked again while it lives, for up to 2 s.
std::optional<std::wstring> CommandLineOf(DWORD processId)
{
    ScopedKernelHandle process(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE, processId));
    if (!process.IsValid())
        return std::nullopt;
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (std::optional<std::wstring> text = ReadCommandLine(process.Get()))
            return text;
        if (::WaitForSingleObject(process.Get(), 10) != WAIT_TIMEOUT)
            return std::nullopt;
    }
    return std::nullopt;
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

bool LineStarts::Watch(ProcessJob& job)
{
    m_job = &job;
    if (!job.ReportNewProcesses())
        return false;
    m_known = true;
    m_thread.Reset(::CreateThread(nullptr, 0, &LineStarts::WatchThread, this, 0, nullptr));
    m_known = m_thread.IsValid();
    return m_known;
}

DWORD WINAPI LineStarts::WatchThread(void* self)
{
    LineStarts& starts = *static_cast<LineStarts*>(self);
    while (const std::optional<DWORD> processId = starts.m_job->NextNewProcess())
        starts.Note(*processId);
    return 0;
}

// The interpreter runs its lines in order, so the line a process runs is
// looked for from the one after the last found.
void LineStarts::Note(DWORD processId)
{
    const std::optional<std::wstring> commandLine = CommandLineOf(processId);
    if (!commandLine) {
        m_known = false;  // a process gone before it could be read: which line it ran is not known
        return;
    }
    for (size_t line = m_next; line < m_started.size(); ++line) {
        if (commandLine->find(ArgumentsOfLine(line)) != std::wstring::npos) {
            m_started[line] = true;
            m_next = line + 1;
            return;
        }
    }
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
