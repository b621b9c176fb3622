// The folder-name key filter: every key-down of the dialog's loop, whichever
// control has the focus, before it is translated into characters.
#include "ui/KeyFilterTable.h"
#include "ui/ParvaneDlg.h"

BOOL CParvaneDlg::PreTranslateMessage(MSG* pMsg)
{
    // The state that belongs to the message being handled, asked only when a row needs it.
    auto isShiftHeld = [] { return ::GetKeyState(VK_SHIFT) < 0; };
    KeyDecision decision = DecideKey(pMsg->message == WM_KEYDOWN, static_cast<unsigned>(pMsg->wParam), isShiftHeld);
    switch (decision.action) {
    case KeyAction::Refuse:
        MessageBox(decision.refusalText, nullptr, MB_OK);
        return TRUE;
    case KeyAction::ConsumeSilently:
        return TRUE;
    case KeyAction::Pass:
        break;
    }
    return CDialog::PreTranslateMessage(pMsg);
}
