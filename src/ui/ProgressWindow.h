#pragma once
// The shell's standard progress window for a click's run: title, what is
// being done (a phase before and after the conversion, the file being
// converted during it), a count ("n / N 件" during the conversion), the bar,
// the shell's own estimate of the time left, and a cancel button when the run
// can be stopped. Needs COM on the thread.
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
    bool IsOpen() const { return static_cast<bool>(m_dialog); }
    bool Cancellable() const { return m_cancellable; }
    // Closes it, for a box to show alone; it can be opened again.
    void Close();
    // A phase before or after the conversion: what is being done, and a count
    // of the files where there is one (total 0: only the files done).
    void ShowPhase(const wchar_t* phase, const wchar_t* countWord, size_t done, size_t total);
    // The estimate of the time left starts anew, for the conversion.
    void RestartTimer();
    // number: the file being converted, from 1; done: the files done so far.
    void Show(size_t number, size_t total, const std::wstring& name, size_t done);
    bool CancelPressed() const;

private:
    ComPtr<IProgressDialog> m_dialog;
    bool m_cancellable = false;
    const wchar_t* m_shownPhase = nullptr;
    size_t m_shownNumber = 0;
    size_t m_shownDone = static_cast<size_t>(-1);
};

// The text of the window's second line.
std::wstring ProgressCountText(size_t number, size_t total);
