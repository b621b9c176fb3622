#include "afxwnd.h"
#include "afxapp.h"

CWnd::~CWnd()
{
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this)
        app->m_pMainWnd = nullptr;
}

BOOL CWnd::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

int CWnd::MessageBox(const wchar_t* text, const wchar_t* caption, UINT type)
{
    return ::MessageBoxW(m_hWnd, text, caption ? caption : AfxGetAppName(), type);
}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    *result = 0;
    if (message == WM_COMMAND)
        return OnCommand(wParam, lParam) != FALSE;
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0, 0);
    if (!entry)
        return false;
    *result = CallEntry(*entry);
    return true;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM)
{
    UINT id = LOWORD(wParam);
    UINT code = HIWORD(wParam);
    if (OnCmdMsg(id, code))
        return TRUE;
    return OnUnmappedCommand(id, code);
}

bool CWnd::OnUnmappedCommand(UINT id, UINT code)
{
    // Commands the window does not handle go on to the application object.
    CWinApp* app = AfxGetApp();
    return app && code == 0 && app->OnCmdMsg(id, code);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND control = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (!pDX->m_bSaveAndValidate) {
        ::SetWindowTextW(control, value);
        return;
    }
    int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(control, &text[0], length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    value = CString(std::move(text));
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd->m_hWnd)
{
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
}
