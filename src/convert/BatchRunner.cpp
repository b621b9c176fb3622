#include "convert/BatchRunner.h"

const wchar_t kBatchFileName[] = L"uncompress.bat";

namespace {

std::wstring WorkingFolder()
{
    DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    DWORD length = ::GetCurrentDirectoryW(size, &folder[0]);
    folder.resize(length);
    if (folder.empty() || folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

// The batch file's full path in the working folder, so that a stray
// uncompress.bat beside the executable is never run instead. The interpreter
// expands %name% on its own command line, where it cannot be escaped; a
// working folder holding "%" is named relatively, which the interpreter, started
// in the same working folder, resolves without searching.
std::wstring BatchFilePath()
{
    std::wstring folder = WorkingFolder();
    if (folder.find(L'%') != std::wstring::npos)
        folder = L".\\";
    return folder + kBatchFileName;
}

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

BatchRun RunBatchFile(const std::string& batchBytes)
{
    const std::wstring batchPath = BatchFilePath();
    {
        CFile file(batchPath.c_str(), CFile::modeCreate | CFile::modeWrite);
        file.Write(batchBytes.data(), batchBytes.size());
        file.Close();
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // The interpreter is named, as the system itself does for a batch file,
    // so that an empty batch file starts too (Wine refuses to start one by
    // its own name). CreateProcessW may write into the command line.
    const std::wstring interpreter = CommandInterpreter();
    std::wstring commandLine = InterpreterCommandLine(batchPath);
    BatchRun run;
    ::GetSystemTimeAsFileTime(&run.startTime);
    if (!::CreateProcessW(interpreter.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info))
        return run;
    run.started = true;
    ScopedKernelHandle thread(info.hThread);
    ScopedKernelHandle process(info.hProcess);  // closed first, then the thread
    ::WaitForSingleObject(process.Get(), INFINITE);
    return run;
}
