#pragma once
// The end-to-end driver: starts Parvane.exe in a scratch working folder, drives
// it with window messages and real key input, reads and answers its message
// boxes, and takes screenshots. Plain Win32, so it runs on Windows as under Wine.
#include "FileBytes.h"
#include <windows.h>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;
using Duration = std::chrono::milliseconds;
constexpr Duration kTimeout = 20s;

std::wstring ParvaneExe();
std::wstring DcmdjpegExe();
// A stand-in for the command interpreter (see StandInInterpreter.cpp).
std::wstring StandInInterpreterExe();
// The DICOM files made for the tests at test time (see make_dicom_fixtures.sh).
std::filesystem::path DicomFixtureFolder();
std::filesystem::path ArtifactFolder();
// Small file systems mounted for the tests of full disks (see small_disks.sh):
// during/ (12 MiB) and small/ (2 MiB).
std::filesystem::path SmallDisksFolder();
// One of those disks, emptied; an empty path where none could be mounted.
std::filesystem::path EmptiedSmallDisk(const wchar_t* name);
// File servers whose clocks are off (see clock_shares.sh): the folder where
// ahead/ and behind/ are mounted, each reached as \\parvane-server\<name>.
std::filesystem::path ClockSharesFolder();

std::wstring WindowText(HWND hwnd);
std::wstring ClassName(HWND hwnd);

// A folder of its own for one test, emptied first and left for inspection.
std::filesystem::path MakeScratchFolder(const std::wstring& name);

// Sets an environment variable for the programs started while it lives, and
// restores the old value after.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, const std::wstring& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::wstring m_name;
    std::wstring m_old;
    bool m_hadOld;
};

// What a message box shows.
struct MessageBoxView {
    HWND hwnd = nullptr;
    std::wstring caption;
    std::wstring text;
    bool hasIcon = false;
    std::vector<int> buttons;  // the ids of its push buttons, e.g. IDOK, IDYES, IDNO
    HWND owner = nullptr;
};

// What the shell's progress window of a run shows.
struct ProgressView {
    HWND hwnd = nullptr;
    std::wstring title;
    std::vector<std::wstring> lines;  // its texts, top to bottom
    HWND cancel = nullptr;            // its cancel button, when shown
    int barPosition = -1;
    // n of the "n / N 件" line, and N into total; -1 when no line has that form.
    int Count(int* total = nullptr) const;
};

ProgressView ReadProgressWindow(HWND window);

class ParvaneProcess {
public:
    // Starts Parvane.exe with the given working folder. When stdoutFile is not
    // empty, standard output goes there.
    explicit ParvaneProcess(const std::filesystem::path& workingFolder,
                            const std::filesystem::path& stdoutFile = {},
                            const std::wstring& arguments = {},
                            const std::wstring& executable = ParvaneExe());
    ~ParvaneProcess();  // kills the process if it is still running
    ParvaneProcess(const ParvaneProcess&) = delete;
    ParvaneProcess& operator=(const ParvaneProcess&) = delete;

    bool Started() const { return m_process != nullptr; }
    DWORD Id() const { return m_processId; }

    // The visible top-level window titled "Parvane"; null on timeout.
    HWND WaitForMainWindow(Duration timeout = kTimeout);
    HWND MainWindow() const { return m_main; }
    HWND Control(int id) const { return ::GetDlgItem(m_main, id); }
    void SetControlText(int id, const std::wstring& text);
    // A field's text, asked of the field itself with WM_GETTEXT: the window
    // caption that GetWindowText reads of another process's window is not
    // kept up to date for edit fields under Wine.
    std::wstring FieldText(int id) const;
    // Posts a button click through the dialog's message loop.
    void Click(int buttonId);
    // Clicks and waits until the click's handler has returned; false on timeout.
    bool ClickAndWait(int buttonId, Duration timeout = kTimeout);
    // Moves the keyboard focus to a control of the dialog.
    void FocusControl(int id);

    // A message box of this process, other than the main window and the
    // progress window; null view on timeout.
    MessageBoxView WaitForMessageBox(Duration timeout = kTimeout);
    // True when no message box appears within the given time.
    bool NoMessageBoxWithin(Duration wait);
    void Answer(const MessageBoxView& box, int buttonId);

    // Ends this Parvane and every process it started, and theirs, in one go,
    // as a forced log-off or a killed Wine server does: none of them gets to
    // write anything more. Returns once all of them have ended.
    void EndWithEverythingItStarted();
    // Waits for the process to end; false on timeout.
    bool WaitForExit(Duration timeout = kTimeout);
    DWORD ExitCode() const;
    bool Running() const;
    // Waits until the convert button's run has ended: the dialog answers and
    // its controls are enabled again; false on timeout.
    bool WaitUntilResponsive(Duration timeout = kTimeout);
    // The shell's progress window of a run (a dialog with a progress bar); null on timeout.
    HWND WaitForProgressWindow(Duration timeout = kTimeout);

private:
    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
    HWND m_main = nullptr;
};

// What the dialog answers when Windows asks whether the session may end:
// TRUE or FALSE, -1 when it did not answer in time.
LRESULT AnswerToEndOfSession(HWND dialog);

// Real key input through the system's input queue, so that Shift is really held.
void PressKey(WORD virtualKey, bool withShift = false, bool withCtrl = false);

// Saves the window as it shows on screen as a 24-bit BMP; false on failure.
bool SaveScreenshot(HWND hwnd, const std::filesystem::path& file);

// Polls until the predicate holds or the time is over.
template <typename Predicate>
bool WaitFor(Predicate predicate, Duration timeout = kTimeout)
{
    auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (predicate())
            return true;
        if (std::chrono::steady_clock::now() > end)
            return false;
        ::Sleep(50);
    }
}


}  // namespace e2e
