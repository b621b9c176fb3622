#pragma once
// CDialog: a dialog made from a template and run by the layer's own modal loop,
// so that PreTranslateMessage sees every message before the dialog handles it.
#include "afxwnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Creates the dialog and runs the modal loop until EndDialog; -1 when the
    // dialog cannot be created.
    virtual INT_PTR DoModal();
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    // Gives IsDialogMessage its turn (Tab, arrows, Enter, Escape).
    BOOL PreTranslateMessage(MSG* pMsg) override;

    DECLARE_MESSAGE_MAP()

protected:
    virtual void OnOK();
    virtual void OnCancel();
    afx_msg void OnPaint();
    bool OnUnmappedCommand(UINT id, UINT code) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void RunModalLoop();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    bool m_bContinueModal = false;
    int m_nModalResult = -1;
};
