#include "convert/BatchRunner.h"
#include "convert/BatchFile.h"
#include <tlhelp32.h>
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

// How many processes of the job are running; -1 when the job cannot tell.
long ActiveProcesses(HANDLE job)
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    if (!::QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof(info), nullptr))
        return -1;
    return static_cast<long>(info.ActiveProcesses);
}

std::vector<DWORD> ProcessesOfJob(HANDLE job)
{
    struct {
        JOBOBJECT_BASIC_PROCESS_ID_LIST list;
        ULONG_PTR more[63];
    } ids{};
    if (!::QueryInformationJobObject(job, JobObjectBasicProcessIdList, &ids, sizeof(ids), nullptr))
        return {};
    std::vector<DWORD> processes;
    for (DWORD i = 0; i < ids.list.NumberOfProcessIdsInList; ++i)
        processes.push_back(static_cast<DWORD>(ids.list.ProcessIdList[i]));
    return processes;
}

// Whether every thread of the process is suspended: asked by suspending each
// once more and resuming it at once.
bool AllThreadsSuspended(DWORD processId)
{
    // A failed snapshot is INVALID_HANDLE_VALUE, as a failed CreateFile is.
    ScopedFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot.IsValid())
        return false;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    bool any = false;
    for (BOOL more = ::Thread32First(snapshot.Get(), &entry); more; more = ::Thread32Next(snapshot.Get(), &entry)) {
        if (entry.th32OwnerProcessID != processId)
            continue;
        ScopedKernelHandle thread(::OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID));
        if (!thread.IsValid())
            return false;
        const DWORD before = ::SuspendThread(thread.Get());
        if (before == static_cast<DWORD>(-1))
            return false;
        ::ResumeThread(thread.Get());
        if (before == 0)
            return false;
        any = true;
    }
    return any;
}

// After a stop, with the interpreter gone: a program it was starting at that
// moment may have been created but never resumed (the system creates a new
// process with its first thread suspended and resumes it last). It has run
// none of its code and would stay in the job for ever, so it is ended; a
// program that runs is left to finish its file.
void EndProgramsNeverStarted(HANDLE job)
{
    for (DWORD processId : ProcessesOfJob(job)) {
        if (!AllThreadsSuspended(processId))
            continue;
        ScopedKernelHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, processId));
        if (process.IsValid())
            ::TerminateProcess(process.Get(), ERROR_CANCELLED);
    }
}

}  // namespace

std::wstring InterpreterCommandLine(const std::wstring& batchPath)
{
    // /s: the outer quotes are removed and the rest, the quoted path, is kept whole.
    return L"cmd.exe /d /v:off /s /c \"\"" + batchPath + L"\"\"";
}

BatchStart BatchRun::Start(const std::string& batchBytes)
{
    const std::wstring batchPath = BatchFilePath();
    m_batchFile = WriteAndHoldBatchFile(batchPath, batchBytes);
    if (!m_batchFile.IsValid())
        return BatchStart::BatchFileInUse;

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // The interpreter is named, as the system itself does for a batch file,
    // so that an empty batch file starts too (Wine refuses to start one by
    // its own name). CreateProcessW may write into the command line. It
    // starts suspended, so that it is in the job before it can start anything.
    const std::wstring interpreter = CommandInterpreter();
    std::wstring commandLine = InterpreterCommandLine(batchPath);
    ::GetSystemTimeAsFileTime(&m_startTime);
    if (!::CreateProcessW(interpreter.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                          nullptr, &startup, &info))
        return BatchStart::NotStarted;
    ScopedKernelHandle thread(info.hThread);
    m_process.Reset(info.hProcess);
    // Without a job (a system that refuses to nest this program's job) the
    // run goes on as before and cannot be stopped.
    m_job.Reset(::CreateJobObjectW(nullptr, nullptr));
    if (m_job.IsValid() && !::AssignProcessToJobObject(m_job.Get(), m_process.Get()))
        m_job.Reset();
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
    if (!m_job.IsValid() || ActiveProcesses(m_job.Get()) <= 0)
        return true;
    if (m_stopped)
        EndProgramsNeverStarted(m_job.Get());
    return false;
}

void BatchRun::Stop()
{
    if (!CanStop() || m_stopped)
        return;
    m_stopped = true;
    ::TerminateProcess(m_process.Get(), ERROR_CANCELLED);
}
