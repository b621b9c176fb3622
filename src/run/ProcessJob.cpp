#include "run/ProcessJob.h"
#include <tlhelp32.h>
#include "run/ProcessEnvironment.h"
#include <optional>
#include <vector>

namespace {

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

// Whether the process's loader has begun: the system loader sets the
// process environment block's loader data (PEB.Ldr) as the first thing the
// first thread does, before any of the program's code. A process suspended
// after it ran (by error reporting, a debugger, a scanner) has it; one created
// and never let run has not. Nothing when it cannot be read.
std::optional<bool> LoaderHasRun(DWORD processId)
{
    ScopedKernelHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    const std::optional<PEB> peb = process.IsValid() ? ReadEnvironmentBlock(process.Get()) : std::nullopt;
    if (!peb)
        return std::nullopt;
    return peb->Ldr != nullptr;
}

}  // namespace

bool ProcessJob::Create()
{
    m_job.Reset(::CreateJobObjectW(nullptr, nullptr));
    return m_job.IsValid();
}

namespace {

constexpr ULONG_PTR kJobMessages = 1, kStopWaiting = 2;

}  // namespace

bool ProcessJob::ReportNewProcesses()
{
    m_port.Reset(::CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
    JOBOBJECT_ASSOCIATE_COMPLETION_PORT port{ reinterpret_cast<void*>(kJobMessages), m_port.Get() };
    if (!m_port.IsValid() ||
        !::SetInformationJobObject(m_job.Get(), JobObjectAssociateCompletionPortInformation, &port, sizeof(port))) {
        m_port.Reset();
        return false;
    }
    return true;
}

std::optional<DWORD> ProcessJob::NextNewProcess()
{
    for (;;) {
        DWORD message = 0;
        ULONG_PTR key = 0;
        LPOVERLAPPED detail = nullptr;
        if (!m_port.IsValid() || !::GetQueuedCompletionStatus(m_port.Get(), &message, &key, &detail, INFINITE) ||
            key == kStopWaiting)
            return std::nullopt;
        if (message == JOB_OBJECT_MSG_NEW_PROCESS)
            return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(detail));
    }
}

void ProcessJob::StopWaiting()
{
    if (m_port.IsValid())
        ::PostQueuedCompletionStatus(m_port.Get(), 0, kStopWaiting, nullptr);
}

bool ProcessJob::Assign(HANDLE process)
{
    return ::AssignProcessToJobObject(m_job.Get(), process) != FALSE;
}

long ProcessJob::ActiveProcesses() const
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    if (!::QueryInformationJobObject(m_job.Get(), JobObjectBasicAccountingInformation, &info, sizeof(info), nullptr))
        return -1;
    return static_cast<long>(info.ActiveProcesses);
}

long ProcessJob::TotalProcesses() const
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    if (!::QueryInformationJobObject(m_job.Get(), JobObjectBasicAccountingInformation, &info, sizeof(info), nullptr))
        return -1;
    return static_cast<long>(info.TotalProcesses);
}

bool ProcessJob::Holds(HANDLE process) const
{
    BOOL held = FALSE;
    return ::IsProcessInJob(process, m_job.Get(), &held) && held;
}

std::vector<DWORD> ProcessJob::Processes() const
{
    return ProcessesOfJob(m_job.Get());
}

// Used after a stop, with the interpreter gone: a program it was starting at
// that moment may have been created but never resumed (the system creates a
// new process with its first thread suspended and resumes it last). It has
// run none of its code, so ending it loses nothing; a program that runs, or
// ran and was suspended by something else, is left to finish its file.
std::vector<DWORD> ProcessJob::EndProgramsNeverStarted()
{
    std::vector<DWORD> ended;
    for (DWORD processId : ProcessesOfJob(m_job.Get())) {
        // Where the loader's state cannot be read, the threads alone tell:
        // ending nothing would keep the run from ever ending.
        if (!AllThreadsSuspended(processId) || LoaderHasRun(processId).value_or(false))
            continue;
        ScopedKernelHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, processId));
        if (process.IsValid() && ::TerminateProcess(process.Get(), ERROR_CANCELLED))
            ended.push_back(processId);
    }
    return ended;
}
