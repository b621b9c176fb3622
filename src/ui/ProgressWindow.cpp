#include "ui/ProgressWindow.h"

namespace {

const wchar_t kProgressTitle[] = L"一括変換";
const wchar_t kCancelMessage[] = L"中止しています。変換中のファイルが終わるまでお待ちください…";

}  // namespace

std::wstring ProgressCountText(size_t number, size_t total)
{
    return std::to_wstring(number) + L" / " + std::to_wstring(total) + L" 件";
}

ProgressWindow::~ProgressWindow()
{
    if (m_dialog)
        m_dialog->StopProgressDialog();
}

bool ProgressWindow::Open(HWND owner, bool cancellable)
{
    if (!m_dialog.Create(CLSID_ProgressDialog, IID_IProgressDialog))
        return false;
    m_dialog->SetTitle(kProgressTitle);
    m_dialog->SetCancelMsg(kCancelMessage, nullptr);
    DWORD flags = PROGDLG_NORMAL | PROGDLG_AUTOTIME;
    if (!cancellable)
        flags |= PROGDLG_NOCANCEL;
    if (FAILED(m_dialog->StartProgressDialog(owner, nullptr, flags, nullptr))) {
        m_dialog.Reset();
        return false;
    }
    return true;
}

void ProgressWindow::Show(size_t number, size_t total, const std::wstring& name, size_t done)
{
    if (!m_dialog)
        return;
    if (number != m_shownNumber) {
        m_shownNumber = number;
        m_dialog->SetLine(1, name.c_str(), FALSE, nullptr);
        m_dialog->SetLine(2, ProgressCountText(number, total).c_str(), FALSE, nullptr);
    }
    if (done != m_shownDone) {
        m_shownDone = done;
        m_dialog->SetProgress64(done, total);
    }
}

bool ProgressWindow::CancelPressed() const
{
    return m_dialog && m_dialog->HasUserCancelled();
}
