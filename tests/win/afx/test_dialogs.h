#pragma once
#define IDD_TEST_DIALOG 200
#define IDC_TEST_EDIT 300
#define IDC_TEST_EDIT2 301
#define IDC_TEST_BUTTON 302
