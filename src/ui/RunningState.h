#pragma once
// The dialog while a click's run goes on, from the gathering to the report:
// every enabled control disabled, the run marked (the dialog then ignores
// every command and refuses the end of the session), and Windows given the
// reason to show should the user log off or shut down. Afterwards the same
// controls are enabled again, the focus goes back and the session may end.
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
    bool m_blockingShutdown = false;
    std::vector<HWND> m_disabled;
};
