#include "ui/RunningState.h"

namespace {

// What Windows shows beside the program when the user logs off or shuts down
// during a run.
const wchar_t kShutdownBlockReason[] = L"DICOM ファイルを変換しています。終わるまでお待ちください。";

}  // namespace

RunningState::RunningState(HWND dialog, bool& running) : m_dialog(dialog), m_running(running), m_focus(::GetFocus())
{
    m_running = true;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::IsWindowEnabled(child)) {
            ::EnableWindow(child, FALSE);
            m_disabled.push_back(child);
        }
    }
}

RunningState::~RunningState()
{
    for (HWND child : m_disabled)
        ::EnableWindow(child, TRUE);
    if (m_focus && ::IsChild(m_dialog, m_focus))
        ::SendMessageW(m_dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_focus), TRUE);
    m_running = false;
}

SessionHold::SessionHold(HWND dialog, bool& converting) : m_dialog(dialog), m_converting(converting)
{
    m_converting = true;
    m_blockingShutdown = ::ShutdownBlockReasonCreate(dialog, kShutdownBlockReason) != FALSE;
}

SessionHold::~SessionHold()
{
    if (m_blockingShutdown)
        ::ShutdownBlockReasonDestroy(m_dialog);
    m_converting = false;
}
