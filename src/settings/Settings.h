#pragma once
class CParvaneDlg;

// param.ini in the working folder: the two folders, read when the dialog opens
// and written when the user leaves through the exit button.
void LoadSettings(CParvaneDlg& dlg);
void SaveSettings(CParvaneDlg& dlg);
