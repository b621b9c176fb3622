#include "settings/Settings.h"
#include "ui/ParvaneDlg.h"

void LoadSettings(CParvaneDlg&) {}

void SaveSettings(CParvaneDlg&) {}
