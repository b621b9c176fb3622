// Resource identifiers of Parvane.exe.
#define IDD_PARVANE_DIALOG          102
#define IDR_MAINFRAME               128
#define IDC_EDIT_INPUT              1000
#define IDC_BUTTON_BROWSE_INPUT     1001
#define IDC_EDIT_OUTPUT             1002
#define IDC_BUTTON_BROWSE_OUTPUT    1003
#define IDC_BUTTON_CONVERT          1004
#define IDC_BUTTON_EXIT             1005
#define IDC_BUTTON_OUTPUT_TEST      1006
#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif
