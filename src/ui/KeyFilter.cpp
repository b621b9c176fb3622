#include "ui/ParvaneDlg.h"

BOOL CParvaneDlg::PreTranslateMessage(MSG* pMsg)
{
    return CDialog::PreTranslateMessage(pMsg);
}
