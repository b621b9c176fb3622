#include "run/BatchRunner.h"
#include "run/BatchFile.h"
#include "run/LineStarts.h"
#include <cwchar>
#include <iterator>
#include <vector>

namespace {

// The command interpreter that runs batch files: %ComSpec%, else the one in
// the system folder.
std::wstring CommandInterpreter()
{
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetEnvironmentVariableW(L"ComSpec", path, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        return path;
    length = ::GetSystemDirectoryW(path, MAX_PATH);
    return std::wstring(path, length) + L"\\cmd.exe";
}

// Whether this program runs in a job that lets the programs it starts leave
// it. Windows 7 cannot nest jobs: there the interpreter must leave this
// program's job to be taken into a job of its own.
bool MayBreakAwayFromOwnJob()
{
    BOOL inJob = FALSE;
    if (!::IsProcessInJob(::GetCurrentProcess(), nullptr, &inJob) || !inJob)
        return false;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    if (!::QueryInformationJobObject(nullptr, JobObjectExtendedLimitInformation, &limits, sizeof(limits), nullptr))
        return false;
    return (limits.BasicLimitInformation.LimitFlags & JOB_OBJECT_LIMIT_BREAKAWAY_OK) != 0;
}

// The start-up record that hands the interpreter one handle, and no other of
// this program's.
class InheritOnly {
public:
    explicit InheritOnly(HANDLE handle) : m_handle(handle)
    {
        SIZE_T size = 0;
        ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        m_buffer.resize(size);
        m_startup.StartupInfo.cb = sizeof(m_startup);
        auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(m_buffer.data());
        if (!m_buffer.empty() && ::InitializeProcThreadAttributeList(list, 1, 0, &size)) {
            m_list = list;
            if (::UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &m_handle, sizeof(m_handle),
                                            nullptr, nullptr))
                m_startup.lpAttributeList = list;
        }
    }
    ~InheritOnly()
    {
        if (m_list)
            ::DeleteProcThreadAttributeList(m_list);
    }
    InheritOnly(const InheritOnly&) = delete;
    InheritOnly& operator=(const InheritOnly&) = delete;

    // False when the list could not be made: then nothing is inherited.
    bool Ready() const { return m_startup.lpAttributeList != nullptr; }
    STARTUPINFOW* Startup() { return &m_startup.StartupInfo; }

private:
    HANDLE m_handle;
    std::vector<char> m_buffer;
    LPPROC_THREAD_ATTRIBUTE_LIST m_list = nullptr;
    STARTUPINFOEXW m_startup{};
};

// Makes a handle inheritable for as long as this object lives.
class InheritableWhileStarting {
public:
    explicit InheritableWhileStarting(HANDLE handle)
        : m_handle(handle), m_ready(::SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT) != FALSE)
    {
    }
    ~InheritableWhileStarting()
    {
        if (m_ready)
            ::SetHandleInformation(m_handle, HANDLE_FLAG_INHERIT, 0);
    }
    InheritableWhileStarting(const InheritableWhileStarting&) = delete;
    InheritableWhileStarting& operator=(const InheritableWhileStarting&) = delete;

    bool Ready() const { return m_ready; }

private:
    HANDLE m_handle;
    bool m_ready;
};

// The file name of the program a process runs; empty when it cannot be asked.
std::wstring ProgramOf(DWORD processId)
{
    ScopedKernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    wchar_t path[1024];
    DWORD size = static_cast<DWORD>(std::size(path));
    if (!process.IsValid() || !::QueryFullProcessImageNameW(process.Get(), 0, path, &size))
        return {};
    const wchar_t* name = std::wcsrchr(path, L'\\');
    return name ? name + 1 : path;
}

}  // namespace

std::wstring InterpreterCommandLine(const std::wstring& batchPath)
{
    // /s: the outer quotes are removed and the rest, the quoted path, is kept whole.
    return L"cmd.exe /d /v:off /s /c \"\"" + batchPath + L"\"\"";
}

BatchStart BatchRun::Start(const std::string& batchBytes, const std::function<void()>& beforeInterpreter)
{
    const std::wstring batchPath = BatchFilePath();
    m_batchFile = WriteAndHoldBatchFile(batchPath, batchBytes);
    if (!m_batchFile.IsValid())
        return BatchStart::BatchFileInUse;
    if (beforeInterpreter)
        beforeInterpreter();

    PROCESS_INFORMATION info{};
    {
        // The interpreter, and every program it starts, inherits the hold of
        // the batch file: while any of them lives, no other run can write it,
        // whatever the spelling of the folder, the session or the computer.
        // Inside this program the handle is inheritable only for this moment.
        InheritableWhileStarting hold(m_batchFile.Get());
        InheritOnly startup(m_batchFile.Get());
        // The interpreter is named, as the system itself does for a batch
        // file, so that an empty batch file starts too (Wine refuses to
        // start one by its own name). CreateProcessW may write into the
        // command line. It starts suspended, so that it is in the job before
        // it can start anything.
        const std::wstring interpreter = CommandInterpreter();
        std::wstring commandLine = InterpreterCommandLine(batchPath);
        const bool inherit = hold.Ready() && startup.Ready();
        const DWORD flags = CREATE_SUSPENDED | (MayBreakAwayFromOwnJob() ? CREATE_BREAKAWAY_FROM_JOB : 0) |
                            (inherit ? EXTENDED_STARTUPINFO_PRESENT : 0);
        if (!::CreateProcessW(interpreter.c_str(), &commandLine[0], nullptr, nullptr, inherit, flags, nullptr,
                              nullptr, startup.Startup(), &info))
            return BatchStart::NotStarted;
    }
    ScopedKernelHandle thread(info.hThread);
    m_process.Reset(info.hProcess);
    // Without a job (a system that refuses to nest this program's job) the
    // run goes on as before and cannot be stopped.
    if (!m_job.Create() || !m_job.Assign(m_process.Get()))
        m_job.Reset();
    else if (m_starts)
        m_starts->Watch(m_job, ::GetProcessId(m_process.Get()));
    if (::ResumeThread(thread.Get()) == static_cast<DWORD>(-1)) {
        ::TerminateProcess(m_process.Get(), ERROR_CANCELLED);
        m_process.Reset();
        m_job.Reset();
        return BatchStart::NotStarted;
    }
    return BatchStart::Started;
}

bool BatchRun::InterpreterEnded() const
{
    return !m_process.IsValid() || ::WaitForSingleObject(m_process.Get(), 0) != WAIT_TIMEOUT;
}

bool BatchRun::Ended()
{
    if (!InterpreterEnded())
        return false;
    if (!m_job.IsValid() || m_job.ActiveProcesses() <= 0)
        return true;
    if (m_stopped) {
        for (DWORD ended : m_job.EndProgramsNeverStarted())
            m_endedUnstarted.insert(ended);
    }
    return false;
}

void BatchRun::Stop()
{
    // An interpreter that has ended by itself ran every line: a cancel
    // pressed then stops nothing.
    if (!CanStop() || m_stopped || InterpreterEnded())
        return;
    m_stopped = true;
    for (DWORD processId : m_job.Processes()) {
        const std::wstring program = ProgramOf(processId);
        if (!program.empty() && _wcsicmp(program.c_str(), m_lineProgram.c_str()) != 0)
            m_runningNoLine.insert(processId);
    }
    ::TerminateProcess(m_process.Get(), ERROR_CANCELLED);
}

std::optional<size_t> BatchRun::LinesStarted() const
{
    const long total = m_stopped && m_job.IsValid() ? m_job.TotalProcesses() : -1;
    if (total < 0)
        return std::nullopt;
    size_t noLine = m_runningNoLine.size();
    for (DWORD ended : m_endedUnstarted)
        noLine += m_runningNoLine.count(ended) == 0 ? 1 : 0;
    const size_t processes = static_cast<size_t>(total);
    return processes > noLine ? processes - noLine : 0;
}

namespace {

std::wstring Environment(const wchar_t* name)
{
    const DWORD length = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (length == 0)
        return {};
    std::wstring value(length, L'\0');
    value.resize(::GetEnvironmentVariableW(name, &value[0], length));
    return value;
}

// The parts of a list such as PATH, without quotes, empty parts left out.
std::vector<std::wstring> SplitList(const std::wstring& list)
{
    std::vector<std::wstring> parts;
    std::wstring part;
    for (size_t i = 0; i <= list.size(); ++i) {
        if (i == list.size() || list[i] == L';') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else if (list[i] != L'"') {
            part += list[i];
        }
    }
    return parts;
}

}  // namespace

std::wstring FindLineProgram(const std::wstring& name, std::vector<std::wstring>* lookedIn)
{
    std::vector<std::wstring> folders{ L"" };
    for (const std::wstring& folder : SplitList(Environment(L"PATH")))
        folders.push_back(folder.back() == L'\\' ? folder : folder + L'\\');
    std::wstring extensions = Environment(L"PATHEXT");
    if (extensions.empty())
        extensions = L".COM;.EXE;.BAT;.CMD";
    for (const std::wstring& folder : folders) {
        if (lookedIn) {
            wchar_t working[MAX_PATH + 1] = {};
            lookedIn->push_back(folder.empty() && ::GetCurrentDirectoryW(MAX_PATH + 1, working) ? working : folder);
        }
        for (const std::wstring& extension : SplitList(extensions)) {
            const std::wstring path = folder + name + extension;
            const DWORD attributes = ::GetFileAttributesW(path.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
                return path;
        }
    }
    return {};
}
