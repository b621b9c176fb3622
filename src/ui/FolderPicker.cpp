// The browse buttons: choosing a folder in the shell's folder browser.
#include "ui/ComOwners.h"
#include "ui/ParvaneDlg.h"
#include <shlobj.h>

namespace {

const wchar_t kBrowserTitle[] = L"フォルダを選択してください";

}  // namespace

void CParvaneDlg::OnBnClickedBrowseInput()
{
    m_strInputFolder = BrowseForFolder(m_strInputFolder);
    UpdateData(FALSE);
}

void CParvaneDlg::OnBnClickedBrowseOutput()
{
    m_strOutputFolder = BrowseForFolder(m_strOutputFolder);
    UpdateData(FALSE);
}

// current is what comes back when the user cancels.
CString CParvaneDlg::BrowseForFolder(CString current)
{
    ComApartment apartment;
    IMalloc* allocator = nullptr;
    if (FAILED(::SHGetMalloc(&allocator)))
        return CString();

    BROWSEINFOW info;
    ::ZeroMemory(&info, sizeof(info));
    info.hwndOwner = m_hWnd;
    info.pidlRoot = nullptr;
    info.pszDisplayName = nullptr;
    info.lpszTitle = kBrowserTitle;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = nullptr;
    info.lParam = 0;
    info.iImage = 0;

    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
    if (!chosen) {
        allocator->Release();
        return current;
    }
    wchar_t path[MAX_PATH] = {};
    BOOL hasPath = ::SHGetPathFromIDListW(chosen, path);
    allocator->Free(chosen);
    allocator->Release();
    // An item the shell gives no path for leaves the folder as it was, as a cancel does.
    if (!hasPath || path[0] == L'\0')
        return current;
    return CString(path) + L"\\";
}
