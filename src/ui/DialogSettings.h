#pragma once
class CParvaneDlg;

// The dialog's side of param.ini: fills the folder strings and fields from the
// file when the dialog opens, writes the fields back when the user leaves, and
// reports either failure in a box.
void LoadSettings(CParvaneDlg& dlg);
void SaveSettings(CParvaneDlg& dlg);
