#pragma once
// The shell's standard progress window for a run: title, the file being
// converted, "n / N 件", the bar, the shell's own estimate of the time left,
// and a cancel button when the run can be stopped. Needs COM on the thread.
#include "ui/ComOwners.h"
#include <shlobj.h>
#include <string>

class ProgressWindow {
public:
    ProgressWindow() = default;
    ~ProgressWindow();  // closes the window
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // Opens the window, owned by owner; false when the system cannot make it.
    bool Open(HWND owner, bool cancellable);
    // number: the file being converted, from 1; done: the files done so far.
    void Show(size_t number, size_t total, const std::wstring& name, size_t done);
    bool CancelPressed() const;

private:
    ComPtr<IProgressDialog> m_dialog;
    size_t m_shownNumber = 0;
    size_t m_shownDone = static_cast<size_t>(-1);
};

// The text of the window's second line.
std::wstring ProgressCountText(size_t number, size_t total);
