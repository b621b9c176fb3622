#include "ui/TaskbarProgress.h"

TaskbarProgress::TaskbarProgress(HWND window) : m_window(window)
{
    if (m_taskbar.Create(CLSID_TaskbarList, IID_ITaskbarList3) && FAILED(m_taskbar->HrInit()))
        m_taskbar.Reset();
}

TaskbarProgress::~TaskbarProgress()
{
    if (m_taskbar)
        m_taskbar->SetProgressState(m_window, TBPF_NOPROGRESS);
}

void TaskbarProgress::Show(size_t done, size_t total)
{
    if (!m_taskbar || done == m_shownDone)
        return;
    m_shownDone = done;
    m_taskbar->SetProgressValue(m_window, done, total);
}
