// A stand-in for the command interpreter, named by ComSpec in tests. It
// records the command line it was given and the moment it started (the
// performance counter, which all processes share) in the file named by
// PARVANE_STANDIN_LOG, one line each. With PARVANE_STANDIN_WAIT_FOR set it
// then waits until that file exists, without opening the batch file. With
// PARVANE_STANDIN_RUN_CMD=1 it then hands the same arguments to the real
// cmd.exe and ends with its exit code; otherwise it ends at once. With
// PARVANE_STANDIN_LEAVE_UNSTARTED=1 it instead creates a copy of itself
// suspended, as if it were ended while starting a program, records the
// copy's process id and waits for ever. With PARVANE_STANDIN_WRITE_OUTPUTS=1
// it instead runs the batch file named on its command line quickly: for each
// line dcmdjpeg "<input>" "<output>" it copies the input to the output, so
// that a run of 100 000 lines takes minutes (for benchmarks; ASCII paths).
#include <windows.h>
#include <string>
#include <vector>

namespace {

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[MAX_PATH] = {};
    DWORD length = ::GetEnvironmentVariableW(name, value, MAX_PATH);
    return length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

void AppendLine(const std::wstring& logPath, const std::wstring& line)
{
    HANDLE log = ::CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return;
    std::wstring text = line + L"\n";
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    DWORD written = 0;
    ::WriteFile(log, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(log);
}

// The arguments: the command line without the program's name.
std::wstring Arguments(const wchar_t* commandLine)
{
    const wchar_t* p = commandLine;
    if (*p == L'"') {
        for (++p; *p && *p != L'"'; ++p) {
        }
        if (*p)
            ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t')
            ++p;
    }
    while (*p == L' ' || *p == L'\t')
        ++p;
    return p;
}

DWORD RunRealInterpreter(const std::wstring& arguments)
{
    wchar_t system[MAX_PATH] = {};
    UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
    std::wstring cmd = std::wstring(system, length) + L"\\cmd.exe";
    std::wstring commandLine = L"cmd.exe " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(cmd.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return 9009;
    ::WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(info.hProcess, &code);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return code;
}

// A program created but never let run: its first thread stays suspended.
void LeaveAProgramUnstarted(const std::wstring& logPath)
{
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"unstarted";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(self, &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                         &info)) {
        if (!logPath.empty())
            AppendLine(logPath, std::to_wstring(info.dwProcessId));
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
    }
    ::Sleep(INFINITE);
}

// The batch file's path: between the doubled quotes of /s /c ""path"".
std::wstring BatchPath(const std::wstring& arguments)
{
    const size_t open = arguments.find(L"\"\"");
    const size_t close = open == std::wstring::npos ? open : arguments.find(L"\"\"", open + 2);
    return close == std::wstring::npos ? std::wstring() : arguments.substr(open + 2, close - open - 2);
}

// The quoted fields of a line, in order.
std::vector<std::string> QuotedFields(const std::string& line)
{
    std::vector<std::string> fields;
    for (size_t open = line.find('"'); open != std::string::npos; open = line.find('"', open)) {
        const size_t close = line.find('"', open + 1);
        if (close == std::string::npos)
            break;
        fields.push_back(line.substr(open + 1, close - open - 1));
        open = close + 1;
    }
    return fields;
}

int WriteOutputs(const std::wstring& batchPath)
{
    HANDLE file = ::CreateFileW(batchPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    std::string bytes;
    char chunk[65536];
    DWORD read = 0;
    while (::ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    ::CloseHandle(file);
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        const std::vector<std::string> fields = QuotedFields(bytes.substr(start, end - start));
        if (fields.size() == 2)
            ::CopyFileA(fields[0].c_str(), fields[1].c_str(), FALSE);
        start = end + 1;
    }
    return 0;
}

}  // namespace

int wmain()
{
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    const wchar_t* commandLine = ::GetCommandLineW();
    if (std::wstring(commandLine) == L"unstarted")
        return 0;  // the copy, should it ever run
    const std::wstring logPath = Environment(L"PARVANE_STANDIN_LOG");
    if (!logPath.empty()) {
        AppendLine(logPath, commandLine);
        AppendLine(logPath, std::to_wstring(now.QuadPart));
    }
    const std::wstring waitFor = Environment(L"PARVANE_STANDIN_WAIT_FOR");
    while (!waitFor.empty() && ::GetFileAttributesW(waitFor.c_str()) == INVALID_FILE_ATTRIBUTES)
        ::Sleep(50);
    if (Environment(L"PARVANE_STANDIN_WRITE_OUTPUTS") == L"1")
        return WriteOutputs(BatchPath(Arguments(commandLine)));
    if (Environment(L"PARVANE_STANDIN_LEAVE_UNSTARTED") == L"1")
        LeaveAProgramUnstarted(logPath);
    if (Environment(L"PARVANE_STANDIN_RUN_CMD") == L"1")
        return static_cast<int>(RunRealInterpreter(Arguments(commandLine)));
    return 0;
}
