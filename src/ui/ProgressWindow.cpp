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
    Close();
}

void ProgressWindow::Close()
{
    if (!m_dialog)
        return;
    m_dialog->StopProgressDialog();
    m_dialog.Reset();
    m_shownPhase = nullptr;
    m_shownNumber = 0;
    m_shownDone = static_cast<size_t>(-1);
}

void ProgressWindow::RestartTimer()
{
    if (m_dialog)
        m_dialog->Timer(PDTIMER_RESET, nullptr);
}

void ProgressWindow::ShowPhase(const wchar_t* phase, const wchar_t* countWord, size_t done, size_t total)
{
    if (!m_dialog)
        return;
    if (phase != m_shownPhase) {
        m_shownPhase = phase;
        m_shownNumber = 0;
        m_shownDone = static_cast<size_t>(-1);
        m_dialog->SetLine(1, phase, FALSE, nullptr);
    }
    if (done == m_shownDone)
        return;
    m_shownDone = done;
    // Words first, so that the count of a phase never reads as the count of
    // files converted.
    std::wstring count = std::wstring(countWord) + L" " + std::to_wstring(done);
    if (total > 0)
        count += L" / " + std::to_wstring(total);
    m_dialog->SetLine(2, (count + L" 件").c_str(), FALSE, nullptr);
    m_dialog->SetProgress64(done, total > 0 ? total : 0);
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
    m_cancellable = cancellable;
    return true;
}

void ProgressWindow::Show(size_t number, size_t total, const std::wstring& name, size_t done)
{
    if (!m_dialog)
        return;
    if (m_shownPhase) {  // the conversion follows a phase
        m_shownPhase = nullptr;
        m_shownNumber = 0;
        m_shownDone = static_cast<size_t>(-1);
    }
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
