#include "ui/ParvaneDlg.h"

void CParvaneDlg::OnBnClickedBrowseInput() {}

void CParvaneDlg::OnBnClickedBrowseOutput() {}

CString CParvaneDlg::BrowseForFolder(CString current)
{
    return current;
}
