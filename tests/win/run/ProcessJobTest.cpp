// After a stop only a program that never ran is ended: one created and never
// resumed, not one that ran and was suspended by something else (error
// reporting, a debugger, a scanner) while it may have been writing.
#include "run/ProcessJob.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <string>

namespace {

using SuspendProcess = LONG(NTAPI*)(HANDLE);

// A command interpreter waiting for a line on standard input, which the
// test holds; started suspended.
struct WaitingInterpreter {
    PROCESS_INFORMATION info{};
    HANDLE input = nullptr;

    WaitingInterpreter()
    {
        SECURITY_ATTRIBUTES inheritable{ sizeof(inheritable), nullptr, TRUE };
        HANDLE readEnd = nullptr;
        ::CreatePipe(&readEnd, &input, &inheritable, 0);
        ::SetHandleInformation(input, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = readEnd;
        std::wstring commandLine = L"cmd.exe /d /c set /p answer=";
        ::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED | CREATE_NO_WINDOW,
                         nullptr, nullptr, &startup, &info);
        ::CloseHandle(readEnd);
    }
    ~WaitingInterpreter()
    {
        ::TerminateProcess(info.hProcess, 0);
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
        ::CloseHandle(input);
    }
};

}  // namespace

TEST(ProcessJob, EndsAProgramThatNeverRanAndNotOneSuspendedAfterItRan)
{
    const auto suspend = reinterpret_cast<SuspendProcess>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtSuspendProcess")));
    ASSERT_NE(suspend, nullptr);
    for (const bool ranFirst : { false, true }) {
        SCOPED_TRACE(ranFirst ? "ran, then suspended" : "never resumed");
        ProcessJob job;
        ASSERT_TRUE(job.Create());
        WaitingInterpreter interpreter;
        ASSERT_NE(interpreter.info.hProcess, nullptr);
        ASSERT_TRUE(job.Assign(interpreter.info.hProcess));
        if (ranFirst) {
            ::ResumeThread(interpreter.info.hThread);
            ::Sleep(1000);  // well into waiting for its line
            ASSERT_EQ(::WaitForSingleObject(interpreter.info.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
            ASSERT_EQ(suspend(interpreter.info.hProcess), 0);
        }
        const std::vector<DWORD> ended = job.EndProgramsNeverStarted();
        const bool wasEnded =
            std::find(ended.begin(), ended.end(), interpreter.info.dwProcessId) != ended.end();
        EXPECT_EQ(wasEnded, !ranFirst);
        EXPECT_EQ(::WaitForSingleObject(interpreter.info.hProcess, ranFirst ? 200 : 5000),
                  static_cast<DWORD>(ranFirst ? WAIT_TIMEOUT : WAIT_OBJECT_0));
    }
}
