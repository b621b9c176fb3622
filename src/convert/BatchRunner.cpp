#include "convert/BatchRunner.h"
#include "convert/BatchFile.h"

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
    if (!::CreateProcessW(interpreter.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                          nullptr, &startup, &info))
        return BatchStart::NotStarted;
    ScopedKernelHandle thread(info.hThread);
    m_process.Reset(info.hProcess);
    // Without a job (a system that refuses to nest this program's job) the
    // run goes on as before and cannot be stopped.
    if (!m_job.Create() || !m_job.Assign(m_process.Get()))
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
    if (!m_job.IsValid() || m_job.ActiveProcesses() <= 0)
        return true;
    if (m_stopped)
        m_job.EndProgramsNeverStarted();
    return false;
}

void BatchRun::Stop()
{
    if (!CanStop() || m_stopped)
        return;
    m_stopped = true;
    ::TerminateProcess(m_process.Get(), ERROR_CANCELLED);
}
