#include "ui/DialogSettings.h"
#include "settings/SettingsFile.h"
#include "ui/ParvaneDlg.h"
#include <optional>

namespace {

const wchar_t kReadErrorText[] = L"Error:: [param.ini] Could not open...";
const wchar_t kReadErrorCaption[] = L"Param READ ERROR";
const wchar_t kWriteErrorText[] = L"Error:: [param.ini] Could not write...";
const wchar_t kWriteErrorCaption[] = L"Param WRITE ERROR";

}  // namespace

void LoadSettings(CParvaneDlg& dlg)
{
    std::optional<SettingsFolders> folders = ReadSettingsFile();
    if (!folders) {
        dlg.MessageBox(kReadErrorText, kReadErrorCaption, MB_ICONEXCLAMATION | MB_OK);
        return;
    }
    dlg.m_strInputFolder = folders->inputFolder;
    dlg.m_strOutputFolder = folders->outputFolder;
    dlg.UpdateData(FALSE);
}

void SaveSettings(CParvaneDlg& dlg)
{
    dlg.UpdateData(TRUE);
    if (!WriteSettingsFile(dlg.m_strInputFolder.Str(), dlg.m_strOutputFolder.Str()))
        dlg.MessageBox(kWriteErrorText, kWriteErrorCaption, MB_ICONEXCLAMATION | MB_OK);
}
