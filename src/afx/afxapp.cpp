#include "afxapp.h"

namespace {
CWinApp* g_app = nullptr;
std::wstring g_fallbackTitle;

// The executable's file name without folder and extension.
std::wstring ExecutableTitle()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}
}  // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

int CWinThread::Run()
{
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return ExitInstance();
}

CWinApp::CWinApp(const wchar_t* appName)
{
    if (appName)
        m_appName = appName;
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

void CWinApp::SetUpInstance(HINSTANCE instance)
{
    m_hInstance = instance;
    if (m_appName.empty())
        m_appName = ExecutableTitle();
    m_pszAppName = m_appName.c_str();
}

void CWinApp::SetRegistryKey(const wchar_t* registryKey)
{
    m_registryKey = registryKey ? registryKey : L"";
    m_pszRegistryKey = m_registryKey.c_str();
}

void CWinApp::OnHelp()
{
    // No help file is shipped: the request is accepted and nothing is shown.
}

CWinApp* AfxGetApp()
{
    return g_app;
}

const wchar_t* AfxGetAppName()
{
    if (g_app && g_app->m_pszAppName)
        return g_app->m_pszAppName;
    if (g_fallbackTitle.empty())
        g_fallbackTitle = ExecutableTitle();
    return g_fallbackTitle.c_str();
}

HINSTANCE AfxGetResourceHandle()
{
    return ::GetModuleHandleW(nullptr);
}

HINSTANCE AfxFindResourceHandle(const wchar_t* name, const wchar_t* type)
{
    HINSTANCE module = AfxGetResourceHandle();
    return ::FindResourceW(module, name, type) ? module : nullptr;
}

void AfxReportError(HWND owner, const std::wstring& message)
{
    ::MessageBoxW(owner, message.c_str(), AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION);
}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->SetUpInstance(instance);
    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}
