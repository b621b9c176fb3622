#include "ui/ParvaneDlg.h"

void CParvaneDlg::OnBnClickedConvert() {}
