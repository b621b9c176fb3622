#pragma once
// The application object and the framework's entry.
#include "afxcmd.h"
#include "afxwnd.h"

#define ID_HELP 0xE146

class CWinThread : public CCmdTarget {
public:
    CWnd* m_pMainWnd = nullptr;
    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }
    // The thread's own message loop, entered only when InitInstance returns TRUE.
    virtual int Run();
};

class CWinApp : public CWinThread {
public:
    explicit CWinApp(const wchar_t* appName = nullptr);
    ~CWinApp() override;

    BOOL InitInstance() override { return TRUE; }
    // Records the key text; nothing of the program's is kept in the registry.
    void SetRegistryKey(const wchar_t* registryKey);

    afx_msg void OnHelp();

    const wchar_t* m_pszAppName = nullptr;      // the executable's name without extension
    const wchar_t* m_pszRegistryKey = nullptr;
    HINSTANCE m_hInstance = nullptr;

    DECLARE_MESSAGE_MAP()

private:
    std::wstring m_appName;
    std::wstring m_registryKey;
    friend int AfxWinMain(HINSTANCE, HINSTANCE, LPWSTR, int);
    void SetUpInstance(HINSTANCE instance);
};

class CWinAppEx : public CWinApp {
public:
    explicit CWinAppEx(BOOL resourceSmartUpdate = FALSE) : m_bResourceSmartUpdate(resourceSmartUpdate) {}
    BOOL m_bResourceSmartUpdate;
};

CWinApp* AfxGetApp();
const wchar_t* AfxGetAppName();
HINSTANCE AfxGetResourceHandle();
HINSTANCE AfxFindResourceHandle(const wchar_t* name, const wchar_t* type);
// The framework's generic report of an exception that left a handler.
void AfxReportError(HWND owner, const std::wstring& message);

int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand);
