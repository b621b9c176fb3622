#include "app/ParvaneApp.h"
#include "ui/ParvaneDlg.h"

BEGIN_MESSAGE_MAP(CParvaneApp, CWinAppEx)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CParvaneApp::CParvaneApp() : CWinAppEx(TRUE) {}

// The one application object, constructed during static initialisation.
CParvaneApp theApp;

BOOL CParvaneApp::InitInstance()
{
    CWinApp::InitInstance();
    SetRegistryKey(L"アプリケーション ウィザードで生成されたローカル アプリケーション");

    CParvaneDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    // The exit button ends the process inside the dialog; reaching this point
    // means the modal run ended some other way, and nothing is saved.
    return FALSE;
}
