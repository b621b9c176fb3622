// Starting and leaving: the window and its controls, the exit button, a close request.
#include "Driver.h"
#include "resource.h"
#include <gtest/gtest.h>

using namespace e2e;

namespace {

class Startup : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = MakeScratchFolder(L"Startup");
        WriteFileBytes(folder / L"param.ini", "[INPUT]C:\\in\\\r\n[OUTPUT]C:\\out\\\r\n");
    }
    std::filesystem::path folder;
};

// The control's place in dialog units, measured against the dialog's client
// area, which the template makes 311 x 143 units.
RECT ControlRectInDialogUnits(HWND dialog, HWND control)
{
    RECT client;
    ::GetClientRect(dialog, &client);
    RECT pixels;
    ::GetWindowRect(control, &pixels);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&pixels), 2);
    auto x = [&](LONG value) { return MulDiv(value, 311, client.right); };
    auto y = [&](LONG value) { return MulDiv(value, 143, client.bottom); };
    return { x(pixels.left), y(pixels.top), x(pixels.right - pixels.left), y(pixels.bottom - pixels.top) };
}

}  // namespace

TEST_F(Startup, ShowsTheDialogWithItsControlsWhereTheTemplatePlacesThem)
{
    ParvaneProcess parvane(folder, {}, L"ignored arguments");
    HWND main = parvane.WaitForMainWindow();
    ASSERT_NE(main, nullptr);

    struct Expected { int id; const wchar_t* cls; const wchar_t* text; RECT units; bool visible; };
    const Expected controls[] = {
        { IDC_EDIT_INPUT, L"Edit", nullptr, { 50, 31, 209, 18 }, true },
        { IDC_BUTTON_BROWSE_INPUT, L"Button", L"参照", { 262, 31, 29, 16 }, true },
        { IDC_EDIT_OUTPUT, L"Edit", nullptr, { 50, 56, 209, 18 }, true },
        { IDC_BUTTON_BROWSE_OUTPUT, L"Button", L"参照", { 263, 57, 29, 16 }, true },
        { IDC_BUTTON_CONVERT, L"Button", L"一括変換", { 125, 97, 60, 23 }, true },
        { IDC_BUTTON_EXIT, L"Button", L"終了", { 264, 117, 40, 19 }, true },
        { IDC_BUTTON_OUTPUT_TEST, L"Button", L"出力テスト", { 30, 111, 45, 18 }, false },
    };
    for (const Expected& expected : controls) {
        SCOPED_TRACE(expected.id);
        HWND control = parvane.Control(expected.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(_wcsicmp(ClassName(control).c_str(), expected.cls), 0) << ClassName(control);
        if (expected.text) {
            EXPECT_EQ(WindowText(control), expected.text);
        }
        EXPECT_EQ(::IsWindowVisible(control) != FALSE, expected.visible);
        RECT units = ControlRectInDialogUnits(main, control);
        // Converting back from pixels may be off by one unit through rounding.
        EXPECT_NEAR(units.left, expected.units.left, 1);
        EXPECT_NEAR(units.top, expected.units.top, 1);
        EXPECT_NEAR(units.right, expected.units.right, 1);
        EXPECT_NEAR(units.bottom, expected.units.bottom, 1);
    }
    LONG style = ::GetWindowLongW(main, GWL_STYLE);
    EXPECT_EQ(style & WS_SYSMENU, 0) << "no close box";
    EXPECT_NE(::GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_TRUE(SaveScreenshot(main, ArtifactFolder() / L"main-dialog.bmp"));
}

TEST_F(Startup, ExitButtonEndsTheProcessWithCodeZero)
{
    ParvaneProcess parvane(folder);
    ASSERT_NE(parvane.WaitForMainWindow(), nullptr);
    parvane.Click(IDC_BUTTON_EXIT);
    ASSERT_TRUE(parvane.WaitForExit());
    EXPECT_EQ(parvane.ExitCode(), 0u);
}

TEST_F(Startup, CloseRequestEndsTheProcess)
{
    ParvaneProcess parvane(folder);
    HWND main = parvane.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(parvane.WaitForExit());
}
