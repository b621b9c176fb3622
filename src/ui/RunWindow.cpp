#include "ui/RunWindow.h"
#include "run/BatchRunner.h"
#include "run/ConversionProgress.h"
#include <algorithm>
#include <exception>
#include <mutex>

namespace {

// How often the outputs are looked at, the counts shown and the cancel button
// asked. Looking ten times a second slowed a run of small files under Wine by
// about 5 % (window updates and file look-ups go through the Wine server,
// beside the run's own process starts); four times a second did not
// measurably.
constexpr DWORD kPollInterval = 250;
// Once the interpreter has ended: how often the job is asked whether the
// dcmdjpeg it was running has ended too.
constexpr DWORD kEndPollInterval = 50;
// A phase before the conversion that ends sooner shows no window at all.
constexpr ULONGLONG kOpenProgressAfter = 400;

struct Worker {
    const std::function<void(WorkProgress&)>* work;
    WorkProgress* progress;
    std::exception_ptr failure;
};

DWORD WINAPI RunWorker(void* parameter)
{
    Worker& worker = *static_cast<Worker*>(parameter);
    try {
        (*worker.work)(*worker.progress);
    } catch (...) {
        worker.failure = std::current_exception();
    }
    return 0;
}

}  // namespace

RunWindow::RunWindow(HWND dialog) : m_dialog(dialog) {}

RunWindow::~RunWindow()
{
    if (m_quit)
        ::PostQuitMessage(m_quitCode);
}

void RunWindow::CloseProgress()
{
    m_window.Close();
    m_taskbar.reset();
}

// Handles every message waiting. A quit request is kept for the modal loop.
void RunWindow::PumpMessages()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            m_quit = true;
            m_quitCode = static_cast<int>(msg.wParam);
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

bool RunWindow::InBackground(const wchar_t* phase, const wchar_t* countWord,
                             const std::function<void(WorkProgress&)>& work)
{
    WorkProgress progress;
    Worker worker{ &work, &progress, nullptr };
    ScopedKernelHandle thread(::CreateThread(nullptr, 0, &RunWorker, &worker, 0, nullptr));
    if (!thread.IsValid()) {
        RunWorker(&worker);  // no thread to be had: the work on this one
    } else {
        const ULONGLONG start = ::GetTickCount64();
        HANDLE handle = thread.Get();
        for (;;) {
            const DWORD woke = ::MsgWaitForMultipleObjectsEx(1, &handle, kPollInterval, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED)
                break;
            PumpMessages();
            if (!m_window.IsOpen() && ::GetTickCount64() - start >= kOpenProgressAfter)
                m_window.Open(m_dialog, true);
            m_window.ShowPhase(phase, countWord, progress.done, progress.total);
            if (m_window.CancelPressed())
                progress.stop = true;
        }
        if (::WaitForSingleObject(handle, INFINITE) != WAIT_OBJECT_0)
            progress.stop = true;
    }
    if (worker.failure)
        std::rethrow_exception(worker.failure);
    return !progress.StopAsked() && !m_window.CancelPressed();
}

namespace {

// What the follower thread has seen of the run, for the window to show.
struct FollowedRun {
    FollowedRun(ConversionProgress& followed, const std::function<void(size_t)>& done)
        : progress(&followed), linesDone(&done), stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
    }

    ConversionProgress* progress;
    const std::function<void(size_t)>* linesDone;
    ScopedKernelHandle stop;  // set when the run has ended
    std::mutex mutex;
    size_t number = 0, total = 0, done = 0;
    std::wstring name;
    std::exception_ptr failure;

    void Publish()
    {
        std::lock_guard<std::mutex> lock(mutex);
        number = progress->CurrentNumber();
        total = progress->Total();
        done = progress->Done();
        name = progress->CurrentName();
    }
};

// Every file look-up of the run's progress is made here, never on the
// dialog's thread: on a share whose look-ups stall for seconds the dialog
// still answers at once.
DWORD WINAPI FollowRun(void* parameter)
{
    FollowedRun& run = *static_cast<FollowedRun*>(parameter);
    try {
        do {
            run.progress->Poll();
            run.Publish();
            if (*run.linesDone)
                (*run.linesDone)(run.progress->Done());
        } while (::WaitForSingleObject(run.stop.Get(), kPollInterval) == WAIT_TIMEOUT);
    } catch (...) {
        run.failure = std::current_exception();
    }
    return 0;
}

}  // namespace

void RunWindow::Follow(BatchRun& run, ConversionProgress& progress, const std::function<void(size_t)>& linesDone)
{
    // The window of the phases before may offer a cancel that the run
    // cannot honour; it is made anew without one.
    if (m_window.IsOpen() && m_window.Cancellable() && !run.CanStop())
        m_window.Close();
    if (progress.Total() > 0) {
        if (!m_window.IsOpen())
            m_window.Open(m_dialog, run.CanStop());
        m_window.RestartTimer();
        m_taskbar = std::make_unique<TaskbarProgress>(m_dialog);
    }
    FollowedRun followed(progress, linesDone);
    followed.Publish();
    ScopedKernelHandle follower;
    if (followed.stop.IsValid())
        follower.Reset(::CreateThread(nullptr, 0, &FollowRun, &followed, 0, nullptr));
    auto show = [&] {
        std::lock_guard<std::mutex> lock(followed.mutex);
        m_window.Show(followed.number, followed.total, followed.name, followed.done);
        if (m_taskbar)
            m_taskbar->Show(followed.done, followed.total);
    };
    for (;;) {
        if (!follower.IsValid()) {
            progress.Poll();  // no thread to be had: the look-ups on this one
            followed.Publish();
        }
        show();
        if (!run.Stopped() && m_window.CancelPressed())
            run.Stop();
        if (run.Ended())
            break;
        HANDLE interpreter = run.Interpreter();
        if (run.InterpreterEnded())
            ::MsgWaitForMultipleObjectsEx(0, nullptr, kEndPollInterval, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        else
            ::MsgWaitForMultipleObjectsEx(1, &interpreter, kPollInterval, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        PumpMessages();
    }
    if (follower.IsValid()) {
        ::SetEvent(followed.stop.Get());
        // A look-up may still stall: the dialog answers meanwhile.
        HANDLE thread = follower.Get();
        while (::MsgWaitForMultipleObjectsEx(1, &thread, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE) != WAIT_OBJECT_0)
            PumpMessages();
    }
    if (followed.failure)
        std::rethrow_exception(followed.failure);
    if (!run.Stopped()) {
        progress.Finish();
        followed.Publish();
        show();
    }
}
