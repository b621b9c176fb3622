#include "afxdlg.h"
#include "afxapp.h"
#include "afxexcept.h"
#include <exception>

BEGIN_MESSAGE_MAP(CDialog, CWnd)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

INT_PTR CDialog::DoModal()
{
    HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    // Set before creation, so that an EndDialog during OnInitDialog ends the
    // run before its loop starts.
    m_bContinueModal = true;
    m_nModalResult = -1;
    HWND hwnd = ::CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDTemplate), parent,
                                     &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd) {
        m_bContinueModal = false;
        return -1;
    }
    if (parent)
        ::EnableWindow(parent, FALSE);
    RunModalLoop();
    if (parent)
        ::EnableWindow(parent, TRUE);
    ::DestroyWindow(hwnd);
    m_hWnd = nullptr;
    return m_nModalResult;
}

void CDialog::RunModalLoop()
{
    MSG msg;
    while (m_bContinueModal) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

void CDialog::EndDialog(int result)
{
    m_nModalResult = result;
    m_bContinueModal = false;
    ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wake the loop if it is waiting
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (!m_hWnd)
        return FALSE;
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_MOUSELAST)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    return ::IsDialogMessageW(m_hWnd, pMsg);
}

void CDialog::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::OnPaint()
{
    CPaintDC dc(this);
}

bool CDialog::OnUnmappedCommand(UINT id, UINT code)
{
    if (code == BN_CLICKED || code == 0) {
        if (id == IDOK) {
            OnOK();
            return true;
        }
        if (id == IDCANCEL) {  // also how a close request from the system arrives
            OnCancel();
            return true;
        }
    }
    return CWnd::OnUnmappedCommand(id, code);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->m_hWnd = hwnd;
    } else {
        self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (!self)
        return FALSE;
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (const CException& e) {
        AfxReportError(hwnd, e.GetErrorMessage());
    } catch (const std::bad_alloc&) {
        AfxReportError(hwnd, L"メモリが不足しています。");
    } catch (const std::exception&) {
        AfxReportError(hwnd, L"予期しないエラーが発生しました。");
    }
    return TRUE;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog();
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        return FALSE;
    if (message == WM_QUERYDRAGICON)  // answered through the return value itself
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
