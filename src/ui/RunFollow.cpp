// The dialog during a run: its controls disabled and its commands ignored,
// its messages handled while the run goes on, the progress shown in the
// shell's progress window and on the taskbar button, and the stop.
#include "convert/BatchRunner.h"
#include "convert/ConversionProgress.h"
#include "ui/ParvaneDlg.h"
#include "ui/ProgressWindow.h"
#include "ui/TaskbarProgress.h"
#include <algorithm>
#include <memory>
#include <vector>

namespace {

// How often the outputs are looked at and the cancel button asked. Looking
// ten times a second slowed a run of small files under Wine by about 5 %
// (window updates and file look-ups go through the Wine server, beside the
// run's own process starts); four times a second did not measurably.
constexpr DWORD kPollInterval = 250;
// Once the interpreter has ended: how often the job is asked whether the
// dcmdjpeg it was running has ended too.
constexpr DWORD kEndPollInterval = 50;

// What Windows shows beside the program when the user logs off or shuts down
// during a run, since the dialog then refuses to let the session end.
const wchar_t kShutdownBlockReason[] = L"DICOM ファイルを変換しています。終わるまでお待ちください。";

// Disables every enabled control of the dialog and marks the run, during
// which the dialog refuses the end of the session and Windows is given the
// reason; afterwards enables the same controls again, gives the focus back
// and lets the session end.
class RunningState {
public:
    RunningState(HWND dialog, bool& running) : m_dialog(dialog), m_running(running), m_focus(::GetFocus())
    {
        m_running = true;
        m_blockingShutdown = ::ShutdownBlockReasonCreate(dialog, kShutdownBlockReason) != FALSE;
        for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (::IsWindowEnabled(child)) {
                ::EnableWindow(child, FALSE);
                m_disabled.push_back(child);
            }
        }
    }
    ~RunningState()
    {
        for (HWND child : m_disabled)
            ::EnableWindow(child, TRUE);
        if (m_focus && ::IsChild(m_dialog, m_focus))
            ::SendMessageW(m_dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_focus), TRUE);
        if (m_blockingShutdown)
            ::ShutdownBlockReasonDestroy(m_dialog);
        m_running = false;
    }
    RunningState(const RunningState&) = delete;
    RunningState& operator=(const RunningState&) = delete;

private:
    HWND m_dialog;
    bool& m_running;
    HWND m_focus;
    bool m_blockingShutdown = false;
    std::vector<HWND> m_disabled;
};

// Handles every message waiting. A quit request is kept for the modal loop.
void PumpMessages(bool& quit, int& quitCode)
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            quitCode = static_cast<int>(msg.wParam);
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Until the interpreter ends, a message, or the time for the next look.
void WaitForRunOrMessage(const BatchRun& run, DWORD timeout)
{
    HANDLE interpreter = run.Interpreter();
    if (run.InterpreterEnded())
        ::MsgWaitForMultipleObjectsEx(0, nullptr, std::min(timeout, kEndPollInterval), QS_ALLINPUT,
                                      MWMO_INPUTAVAILABLE);
    else
        ::MsgWaitForMultipleObjectsEx(1, &interpreter, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

}  // namespace

CParvaneDlg::RunResult CParvaneDlg::RunAndFollow(const ConversionScript& script, const RunBaseline& baseline)
{
    RunningState running(m_hWnd, m_bRunning);
    BatchRun run;
    RunResult outcome;
    outcome.start = run.Start(script.Bytes());
    if (outcome.start != BatchStart::Started)
        return outcome;
    ConversionProgress progress(script, baseline);
    FollowRun(run, progress);
    outcome.reached = progress.Reached();
    outcome.stopped = run.Stopped();
    return outcome;
}

void CParvaneDlg::FollowRun(BatchRun& run, ConversionProgress& progress)
{
    ComApartment apartment;
    ProgressWindow window;
    std::unique_ptr<TaskbarProgress> taskbar;
    if (progress.Total() > 0) {
        window.Open(m_hWnd, run.CanStop());
        taskbar = std::make_unique<TaskbarProgress>(m_hWnd);
    }
    bool quit = false;
    int quitCode = 0;
    ULONGLONG lastPoll = 0;
    bool polled = false;
    auto show = [&] {
        window.Show(progress.CurrentNumber(), progress.Total(), progress.CurrentName(), progress.Done());
        if (taskbar)
            taskbar->Show(progress.Done(), progress.Total());
    };
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        if (!polled || now - lastPoll >= kPollInterval) {
            progress.Poll();
            show();
            lastPoll = now;
            polled = true;
        }
        if (!run.Stopped() && window.CancelPressed())
            run.Stop();
        if (run.Ended())
            break;
        const ULONGLONG elapsed = ::GetTickCount64() - lastPoll;
        WaitForRunOrMessage(run, elapsed >= kPollInterval ? 0 : static_cast<DWORD>(kPollInterval - elapsed));
        PumpMessages(quit, quitCode);
    }
    if (!run.Stopped()) {
        progress.Finish();
        show();
    }
    if (quit)
        ::PostQuitMessage(quitCode);
}
