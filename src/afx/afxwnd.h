#pragma once
// CWnd: a window with data exchange and owned message boxes.
#include "afxcmd.h"
#include "afxstr.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dlgWnd, BOOL saveAndValidate) : m_pDlgWnd(dlgWnd), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;  // TRUE: controls into members; FALSE: members into controls
};

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    // With no caption the box shows the application title.
    int MessageBox(const wchar_t* text, const wchar_t* caption = nullptr, UINT type = MB_OK);

    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // Finds the map entry for a window message and runs it; false when unhandled.
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    HWND m_hWnd = nullptr;

protected:
    // A WM_COMMAND: runs the map's handler, else OnUnmappedCommand; false
    // when nothing handled it.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual bool OnUnmappedCommand(UINT id, UINT code);
};

// Moves text between the control nIDC of the dialog and value.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);

class CPaintDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    operator HDC() const { return m_hDC; }
    HDC m_hDC;
    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};
