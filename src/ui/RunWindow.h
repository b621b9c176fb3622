#pragma once
// The window side of a click's run, from the gathering to the report: the
// dialog's messages are handled while file work goes on in a worker thread or
// the batch file runs, so that the dialog answers throughout; the shell's
// progress window shows the phase and the count, and the taskbar button the
// conversion; the progress window's cancel button stops the work or the run.
// Needs COM on the thread.
#include "run/WorkProgress.h"
#include "ui/ProgressWindow.h"
#include "ui/TaskbarProgress.h"
#include <functional>
#include <memory>

class BatchRun;
class ConversionProgress;

class RunWindow {
public:
    explicit RunWindow(HWND dialog);
    ~RunWindow();  // a quit request that came meanwhile goes on to the modal loop
    RunWindow(const RunWindow&) = delete;
    RunWindow& operator=(const RunWindow&) = delete;

    // Runs work on a worker thread until it returns, showing the phase; the
    // progress window opens once the phase has lasted a moment. False when
    // the user pressed cancel: the work was asked to stop, and nothing
    // further is to be done. An exception of the work is thrown here.
    bool InBackground(const wchar_t* phase, const wchar_t* countWord, const std::function<void(WorkProgress&)>& work);
    // Follows the batch file's run until nothing of it is left; cancel stops
    // it. The progress is polled on a thread of its own, which also hands
    // linesDone, when given, the count of lines the run has passed.
    void Follow(BatchRun& run, ConversionProgress& progress, const std::function<void(size_t)>& linesDone = {});
    // Closes the progress window, so that a box shows alone.
    void CloseProgress();
    // Whether the progress window's cancel button has been pressed, between
    // the phases too.
    bool CancelPressed() const { return m_window.IsOpen() && m_window.CancelPressed(); }

private:
    void PumpMessages();

    HWND m_dialog;
    ProgressWindow m_window;
    std::unique_ptr<TaskbarProgress> m_taskbar;
    bool m_quit = false;
    int m_quitCode = 0;
};
