#include "ui/ParvaneDlg.h"
#include "ui/DialogSettings.h"
#include "ui/IconPosition.h"
#include <cstdlib>

BEGIN_MESSAGE_MAP(CParvaneDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_QUERYENDSESSION()
    ON_BN_CLICKED(IDC_BUTTON_BROWSE_INPUT, &CParvaneDlg::OnBnClickedBrowseInput)
    ON_BN_CLICKED(IDC_BUTTON_BROWSE_OUTPUT, &CParvaneDlg::OnBnClickedBrowseOutput)
    ON_BN_CLICKED(IDC_BUTTON_EXIT, &CParvaneDlg::OnBnClickedExit)
    ON_BN_CLICKED(IDC_BUTTON_CONVERT, &CParvaneDlg::OnBnClickedConvert)
    ON_MESSAGE_VOID(WM_REPORT_UNFINISHED_RUN, &CParvaneDlg::OnReportUnfinishedRun)
END_MESSAGE_MAP()

CParvaneDlg::CParvaneDlg(CWnd* parent) : CDialog(IDD, parent)
{
    const wchar_t* icon = MAKEINTRESOURCEW(IDR_MAINFRAME);
    m_hIcon = ::LoadIconW(AfxFindResourceHandle(icon, RT_GROUP_ICON), icon);
}

BOOL CParvaneDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (m_bRunning)
        return TRUE;
    return CDialog::OnCommand(wParam, lParam);
}

void CParvaneDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_EDIT_INPUT, m_strInputFolder);
    DDX_Text(pDX, IDC_EDIT_OUTPUT, m_strOutputFolder);
}

BOOL CParvaneDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    LoadSettings(*this);
    ::PostMessageW(m_hWnd, WM_REPORT_UNFINISHED_RUN, 0, 0);
    return TRUE;  // the focus goes to the first tab stop, the input field
}

void CParvaneDlg::OnPaint()
{
    if (!::IsIconic(m_hWnd)) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
    int iconWidth = ::GetSystemMetrics(SM_CXICON);
    int iconHeight = ::GetSystemMetrics(SM_CYICON);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    IconOrigin origin = CentredIconOrigin(client.right - client.left, client.bottom - client.top,
                                          iconWidth, iconHeight);
    ::DrawIcon(dc, origin.x, origin.y, m_hIcon);
}

HCURSOR CParvaneDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

BOOL CParvaneDlg::OnQueryEndSession()
{
    return m_bConverting ? FALSE : TRUE;
}

void CParvaneDlg::OnBnClickedExit()
{
    SaveSettings(*this);
    // Ends the process from inside the modal loop; the dialog is not closed first.
    std::exit(0);
}
