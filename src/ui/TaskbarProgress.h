#pragma once
// The run's progress on the window's taskbar button, where the system offers
// it (ITaskbarList3); elsewhere it does nothing. Needs COM on the thread.
#include "ui/ComOwners.h"
#include <shobjidl.h>

class TaskbarProgress {
public:
    explicit TaskbarProgress(HWND window);
    ~TaskbarProgress();  // the button shows no progress again
    TaskbarProgress(const TaskbarProgress&) = delete;
    TaskbarProgress& operator=(const TaskbarProgress&) = delete;

    void Show(size_t done, size_t total);

private:
    HWND m_window;
    ComPtr<ITaskbarList3> m_taskbar;
    size_t m_shownDone = static_cast<size_t>(-1);
};
