#include "ui/ParvaneDlg.h"

void CParvaneDlg::RunConversionScript(const CString&) {}
