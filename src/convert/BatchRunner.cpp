// Writes the conversion script to uncompress.bat in the working folder, runs
// it and waits until it has finished.
#include "convert/BatchRunner.h"

const wchar_t kBatchFileName[] = L"uncompress.bat";

namespace {

// The batch file's full path in the working folder. Starting it by its full
// path means a stray uncompress.bat beside the executable is never run instead.
CString BatchFilePath()
{
    DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    DWORD length = ::GetCurrentDirectoryW(size, &folder[0]);
    folder.resize(length);
    if (folder.empty() || folder.back() != L'\\')
        folder += L'\\';
    return CString(folder + kBatchFileName);
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

BatchRunResult RunBatchFile(const CString& script)
{
    const CString batchPath = BatchFilePath();
    {
        CStdioFile file(batchPath, CFile::modeCreate | CFile::modeWrite);
        file.WriteString(script);
        file.Close();
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // The interpreter is named, as the system itself does for a batch file,
    // so that an empty batch file starts too (Wine refuses to start one by
    // its own name). CreateProcessW may write into the command line.
    const std::wstring interpreter = CommandInterpreter();
    std::wstring commandLine = L"cmd.exe /s /c \"\"" + batchPath.Str() + L"\"\"";
    if (!::CreateProcessW(interpreter.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info))
        return BatchRunResult::NotStarted;
    ScopedKernelHandle thread(info.hThread);
    ScopedKernelHandle process(info.hProcess);  // closed first, then the thread
    ::WaitForSingleObject(process.Get(), INFINITE);
    return BatchRunResult::Finished;
}
