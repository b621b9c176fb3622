// The framework layer's behaviour that the program relies on.
#include "BoxAnswerer.h"
#include "afx/afx.h"
#include "test_dialogs.h"
#include <gtest/gtest.h>
#include <functional>
#include <vector>

namespace {

// A dialog whose start-up and key handling each test sets.
class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(IDD_TEST_DIALOG) {}

    std::function<void(TestDialog&)> onInit;
    std::function<BOOL(MSG*)> onPreTranslate;
    std::function<void(TestDialog&)> onButton;
    CString first;
    CString second;
    std::vector<MSG> keyDownsSeen;
    std::wstring editTextAtEnd;

    void PostKey(int controlId, WORD key)
    {
        LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16 | 1;
        ::PostMessageW(::GetDlgItem(m_hWnd, controlId), WM_KEYDOWN, key, scan);
    }
    void PostCancel() { ::PostMessageW(m_hWnd, WM_COMMAND, IDCANCEL, 0); }
    std::wstring ControlText(int id)
    {
        wchar_t text[1024] = {};
        ::GetDlgItemTextW(m_hWnd, id, text, 1024);
        return text;
    }

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (onInit)
            onInit(*this);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_TEST_EDIT, first);
        DDX_Text(pDX, IDC_TEST_EDIT2, second);
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN)
            keyDownsSeen.push_back(*pMsg);
        if (onPreTranslate && onPreTranslate(pMsg))
            return TRUE;
        return CDialog::PreTranslateMessage(pMsg);
    }
    void OnCancel() override
    {
        editTextAtEnd = ControlText(IDC_TEST_EDIT);
        CDialog::OnCancel();
    }
    afx_msg void OnButton()
    {
        if (onButton)
            onButton(*this);
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestDialog, CDialog)
    ON_BN_CLICKED(IDC_TEST_BUTTON, &TestDialog::OnButton)
END_MESSAGE_MAP()

TEST(ModalLoop, EndDialogDuringInitialisationEndsTheRunAsSoonAsItStarts)
{
    // A close request arrives while a box shown during start-up is open.
    TestDialog dlg;
    dlg.onInit = [](TestDialog& d) {
        d.PostCancel();
        d.MessageBox(L"first start", L"box");
        d.PostKey(IDC_TEST_EDIT, 'A');  // would be seen if the modal loop ran
    };
    BoxAnswerer boxes;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(boxes.Seen().size(), 1u);
    EXPECT_TRUE(dlg.keyDownsSeen.empty());
}

TEST(ModalLoop, PreTranslateMessageSeesKeyDownsBeforeTheControl)
{
    TestDialog dlg;
    dlg.onInit = [](TestDialog& d) {
        d.PostKey(IDC_TEST_EDIT, 'A');
        d.PostKey(IDC_TEST_EDIT, 'B');
        // Through the button, so that the end comes after the character that
        // translating 'B' queues.
        ::PostMessageW(d.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_TEST_BUTTON, BN_CLICKED), 0);
    };
    dlg.onButton = [](TestDialog& d) { d.PostCancel(); };
    dlg.onPreTranslate = [](MSG* msg) { return msg->message == WM_KEYDOWN && msg->wParam == 'A'; };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(dlg.keyDownsSeen.size(), 2u);
    EXPECT_EQ(dlg.keyDownsSeen[0].wParam, WPARAM('A'));
    EXPECT_EQ(dlg.keyDownsSeen[1].wParam, WPARAM('B'));
    // The consumed key typed nothing; the passed one reached the field.
    EXPECT_EQ(dlg.editTextAtEnd, L"b");
}

TEST(ModalLoop, CloseRequestEndsTheRunThroughCancel)
{
    TestDialog dlg;
    dlg.onInit = [](TestDialog& d) { ::PostMessageW(d.m_hWnd, WM_CLOSE, 0, 0); };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(ModalLoop, MessageBoxWithoutCaptionShowsTheApplicationTitle)
{
    TestDialog dlg;
    BoxAnswerer boxes;
    int answer = 0;
    dlg.onInit = [&](TestDialog& d) {
        answer = d.MessageBox(L"本文");
        d.PostCancel();
    };
    dlg.DoModal();
    EXPECT_EQ(answer, IDOK);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].caption, L"parvane_win_tests");  // the executable's name without ".exe"
    EXPECT_EQ(boxes.Seen()[0].text, L"本文");
    EXPECT_FALSE(boxes.Seen()[0].hasIcon);
}

TEST(ModalLoop, ExceptionLeavingAHandlerIsReportedAndTheDialogGoesOn)
{
    TestDialog dlg;
    BoxAnswerer boxes;
    bool stillRunning = false;
    dlg.onInit = [](TestDialog& d) {
        ::PostMessageW(d.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_TEST_BUTTON, BN_CLICKED), 0);
    };
    dlg.onButton = [&](TestDialog& d) {
        dlg.onButton = [&](TestDialog& again) { stillRunning = true; again.PostCancel(); };
        ::PostMessageW(d.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_TEST_BUTTON, BN_CLICKED), 0);
        CString empty;
        empty.GetAt(-1);  // throws the framework's invalid-argument exception
    };
    dlg.DoModal();
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].caption, L"parvane_win_tests");
    EXPECT_FALSE(boxes.Seen()[0].text.empty());
    EXPECT_TRUE(boxes.Seen()[0].hasIcon);
    EXPECT_TRUE(stillRunning);
}

TEST(DataExchange, UpdateDataMovesTextBothWays)
{
    TestDialog dlg;
    const std::wstring longJapanese = std::wstring(300, L'あ') + L"\\フォルダ";
    std::wstring shownFirst, shownSecond;
    dlg.onInit = [&](TestDialog& d) {
        d.first = L"C:\\入力\\";
        d.second = longJapanese.c_str();
        d.UpdateData(FALSE);
        shownFirst = d.ControlText(IDC_TEST_EDIT);
        shownSecond = d.ControlText(IDC_TEST_EDIT2);
        ::SetDlgItemTextW(d.m_hWnd, IDC_TEST_EDIT, L"D:\\typed");
        ::SetDlgItemTextW(d.m_hWnd, IDC_TEST_EDIT2, L"");
        d.UpdateData(TRUE);
        d.PostCancel();
    };
    dlg.DoModal();
    EXPECT_EQ(shownFirst, L"C:\\入力\\");
    EXPECT_EQ(shownSecond.substr(0, 1000), longJapanese.substr(0, 1000));
    EXPECT_EQ(dlg.first.Str(), L"D:\\typed");
    EXPECT_EQ(dlg.second.Str(), L"");
}

}  // namespace

namespace {

TEST(ModalLoop, DefaultHandlingKeepsTheIconsADialogSets)
{
    TestDialog dlg;
    HICON icon = ::LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
    LRESULT big = 0, small = 0;
    dlg.onInit = [&](TestDialog& d) {
        ::SendMessageW(d.m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        ::SendMessageW(d.m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        big = ::SendMessageW(d.m_hWnd, WM_GETICON, ICON_BIG, 0);
        small = ::SendMessageW(d.m_hWnd, WM_GETICON, ICON_SMALL, 0);
        d.PostCancel();
    };
    dlg.DoModal();
    EXPECT_EQ(big, reinterpret_cast<LRESULT>(icon));
    EXPECT_EQ(small, reinterpret_cast<LRESULT>(icon));
}

}  // namespace
