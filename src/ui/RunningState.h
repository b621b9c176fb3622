#pragma once
// The dialog while a click's run goes on, from the gathering to the report:
// every enabled control disabled and the run marked (the dialog then ignores
// every command). Afterwards the same controls are enabled again and the
// focus goes back.
#include <windows.h>
#include <vector>

class RunningState {
public:
    RunningState(HWND dialog, bool& running);
    ~RunningState();
    RunningState(const RunningState&) = delete;
    RunningState& operator=(const RunningState&) = delete;

private:
    HWND m_dialog;
    bool& m_running;
    HWND m_focus;
    std::vector<HWND> m_disabled;
};

// While the run's processes live: the dialog refuses the end of the session,
// and Windows is given the reason to show should the user log off or shut
// down; a log-off then would end the interpreter and dcmdjpeg in the middle
// of a write. The questions and the report box, where nothing runs, do not
// hold the session.
class SessionHold {
public:
    SessionHold(HWND dialog, bool& converting);
    ~SessionHold();
    SessionHold(const SessionHold&) = delete;
    SessionHold& operator=(const SessionHold&) = delete;

private:
    HWND m_dialog;
    bool& m_converting;
    bool m_blockingShutdown = false;
};
