#include "Driver.h"
#include "e2e_paths.h"
#include <commctrl.h>
#include <tlhelp32.h>
#include <set>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include "resource.h"

namespace e2e {
namespace {

enum class WindowKind { Main, Box, Progress };

struct WindowSearch {
    DWORD processId;
    HWND exclude;
    WindowKind want;
    HWND found = nullptr;
};

bool IsDialogClass(HWND hwnd)
{
    return ClassName(hwnd) == L"#32770";
}

// The shell's progress window is a dialog too; it holds a progress bar.
bool HasProgressBar(HWND hwnd)
{
    return ::FindWindowExW(hwnd, nullptr, L"msctls_progress32", nullptr) != nullptr;
}

WindowKind KindOf(HWND hwnd)
{
    if (WindowText(hwnd) == L"Parvane" && ::GetWindow(hwnd, GW_OWNER) == nullptr)
        return WindowKind::Main;
    return HasProgressBar(hwnd) ? WindowKind::Progress : WindowKind::Box;
}

BOOL CALLBACK FindWindowOfProcess(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->processId || hwnd == search->exclude || !::IsWindowVisible(hwnd) || !IsDialogClass(hwnd))
        return TRUE;
    if (KindOf(hwnd) != search->want)
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND FindProcessWindow(DWORD processId, HWND exclude, WindowKind want)
{
    WindowSearch search{ processId, exclude, want };
    ::EnumWindows(&FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

MessageBoxView ReadMessageBox(HWND box)
{
    MessageBoxView view;
    view.hwnd = box;
    view.caption = WindowText(box);
    view.owner = ::GetWindow(box, GW_OWNER);
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        std::wstring cls = ClassName(child);
        LONG style = ::GetWindowLongW(child, GWL_STYLE);
        if (_wcsicmp(cls.c_str(), L"Static") == 0) {
            if ((style & SS_TYPEMASK) == SS_ICON) {
                view.hasIcon = view.hasIcon || (::IsWindowVisible(child) && ::SendMessageW(child, STM_GETICON, 0, 0) != 0);
            } else if (!WindowText(child).empty()) {
                view.text += WindowText(child);
            }
        } else if (_wcsicmp(cls.c_str(), L"Button") == 0 && ::IsWindowVisible(child)) {
            view.buttons.push_back(::GetDlgCtrlID(child));
        }
    }
    return view;
}

std::wstring QuoteArgument(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

}  // namespace

std::wstring ParvaneExe() { return PARVANE_EXE_PATH; }
std::wstring DcmdjpegExe() { return DCMDJPEG_EXE_PATH; }
std::wstring StandInInterpreterExe() { return STAND_IN_INTERPRETER_PATH; }

ScopedEnvironment::ScopedEnvironment(const wchar_t* name, const std::wstring& value) : m_name(name)
{
    DWORD size = ::GetEnvironmentVariableW(name, nullptr, 0);
    m_hadOld = size > 0;
    if (m_hadOld) {
        m_old.resize(size);
        m_old.resize(::GetEnvironmentVariableW(name, &m_old[0], size));
    }
    ::SetEnvironmentVariableW(name, value.c_str());
}

ScopedEnvironment::~ScopedEnvironment()
{
    ::SetEnvironmentVariableW(m_name.c_str(), m_hadOld ? m_old.c_str() : nullptr);
}
std::filesystem::path ArtifactFolder() { return ARTIFACT_FOLDER_PATH; }
std::filesystem::path DicomFixtureFolder() { return DICOM_FIXTURE_FOLDER_PATH; }
std::filesystem::path SmallDisksFolder() { return SMALL_DISKS_PATH; }

std::filesystem::path EmptiedSmallDisk(const wchar_t* name)
{
    const std::filesystem::path disk = SmallDisksFolder() / name;
    if (!std::filesystem::exists(disk / L"mounted"))
        return {};
    for (const auto& entry : std::filesystem::directory_iterator(disk)) {
        if (entry.path().filename() != L"mounted")
            std::filesystem::remove_all(entry.path());
    }
    return disk;
}
std::filesystem::path ClockSharesFolder() { return CLOCK_SHARES_PATH; }

std::wstring WindowText(HWND hwnd)
{
    int length = ::GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(hwnd, &text[0], length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

std::wstring ClassName(HWND hwnd)
{
    wchar_t name[256] = {};
    ::GetClassNameW(hwnd, name, 256);
    return name;
}

std::filesystem::path MakeScratchFolder(const std::wstring& name)
{
    std::filesystem::path folder = std::filesystem::path(SCRATCH_FOLDER_PATH) / name;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder);
    return folder;
}

ParvaneProcess::ParvaneProcess(const std::filesystem::path& workingFolder,
                               const std::filesystem::path& stdoutFile,
                               const std::wstring& arguments,
                               const std::wstring& executable)
{
    std::wstring commandLine = QuoteArgument(executable);
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    HANDLE output = INVALID_HANDLE_VALUE;
    BOOL inherit = FALSE;
    if (!stdoutFile.empty()) {
        SECURITY_ATTRIBUTES security{ sizeof(security), nullptr, TRUE };
        output = ::CreateFileW(stdoutFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &security,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
        startup.hStdError = output;
        startup.hStdInput = nullptr;
        inherit = TRUE;
    }
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, inherit, 0, nullptr,
                         workingFolder.c_str(), &startup, &info)) {
        m_process = info.hProcess;
        m_processId = info.dwProcessId;
        ::CloseHandle(info.hThread);
    }
    if (output != INVALID_HANDLE_VALUE)
        ::CloseHandle(output);
}

ParvaneProcess::~ParvaneProcess()
{
    if (!m_process)
        return;
    if (Running()) {
        ::TerminateProcess(m_process, 99);
        ::WaitForSingleObject(m_process, 5000);
    }
    ::CloseHandle(m_process);
}

namespace {

// The processes whose parent is one of the family, opened to be ended and
// added to it. A process that has ended is still a parent by its id; one
// that cannot be opened yet (it is still being made) is looked for again.
std::vector<HANDLE> OpenNewChildren(std::set<DWORD>& family)
{
    std::vector<HANDLE> children;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (bool grew = true; grew;) {
        grew = false;
        for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
            if (family.count(entry.th32ParentProcessID) == 0 || family.count(entry.th32ProcessID) != 0)
                continue;
            HANDLE child = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
            if (!child)
                continue;
            children.push_back(child);
            family.insert(entry.th32ProcessID);
            grew = true;
        }
    }
    ::CloseHandle(snapshot);
    return children;
}

}  // namespace

void ParvaneProcess::EndWithEverythingItStarted()
{
    std::set<DWORD> family{ m_processId };
    std::vector<HANDLE> ended = OpenNewChildren(family);
    // Parvane first, so that it never sees its run end; then what it started.
    ::TerminateProcess(m_process, 1);
    // A program the interpreter was starting meanwhile is caught by the next look.
    for (int quietLooks = 0; quietLooks < 3;) {
        for (HANDLE process : ended)
            ::TerminateProcess(process, 1);
        const std::vector<HANDLE> more = OpenNewChildren(family);
        quietLooks = more.empty() ? quietLooks + 1 : 0;
        ended.insert(ended.end(), more.begin(), more.end());
        ::Sleep(20);
    }
    ::WaitForSingleObject(m_process, 5000);
    for (HANDLE process : ended) {
        ::WaitForSingleObject(process, 5000);
        ::CloseHandle(process);
    }
}

HWND ParvaneProcess::WaitForMainWindow(Duration timeout)
{
    WaitFor([&] { return (m_main = FindProcessWindow(m_processId, nullptr, WindowKind::Main)) != nullptr; }, timeout);
    return m_main;
}

void ParvaneProcess::SetControlText(int id, const std::wstring& text)
{
    ::SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring ParvaneProcess::FieldText(int id) const
{
    const UINT waitMs = 5000;
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(Control(id), WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, waitMs, &length))
        return L"<no answer>";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(Control(id), WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_NORMAL,
                          waitMs, &copied);
    text.resize(copied < length ? copied : length);
    return text;
}

void ParvaneProcess::Click(int buttonId)
{
    ::PostMessageW(m_main, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(Control(buttonId)));
}

bool ParvaneProcess::ClickAndWait(int buttonId, Duration timeout)
{
    // A sent command runs the handler on the dialog's thread and returns with it.
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(m_main, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(Control(buttonId)), SMTO_NORMAL,
                                 static_cast<UINT>(timeout.count()), &result) != 0;
}

void ParvaneProcess::FocusControl(int id)
{
    ::SetForegroundWindow(m_main);
    ::PostMessageW(m_main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(id)), TRUE);
    WaitFor([&] {
        GUITHREADINFO gui{};
        gui.cbSize = sizeof(gui);
        return ::GetGUIThreadInfo(::GetWindowThreadProcessId(m_main, nullptr), &gui) && gui.hwndFocus == Control(id);
    }, 5s);
}

MessageBoxView ParvaneProcess::WaitForMessageBox(Duration timeout)
{
    HWND box = nullptr;
    WaitFor([&] { return (box = FindProcessWindow(m_processId, m_main, WindowKind::Box)) != nullptr; }, timeout);
    if (!box)
        return {};
    ::Sleep(100);  // let the box finish laying out its controls
    return ReadMessageBox(box);
}

bool ParvaneProcess::NoMessageBoxWithin(Duration wait)
{
    return !WaitFor([&] { return FindProcessWindow(m_processId, m_main, WindowKind::Box) != nullptr; }, wait);
}

void ParvaneProcess::Answer(const MessageBoxView& box, int buttonId)
{
    ::PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box.hwnd, buttonId)));
    WaitFor([&] { return !::IsWindow(box.hwnd); }, 5s);
}

bool ParvaneProcess::WaitForExit(Duration timeout)
{
    return m_process && ::WaitForSingleObject(m_process, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

DWORD ParvaneProcess::ExitCode() const
{
    DWORD code = 0;
    ::GetExitCodeProcess(m_process, &code);
    return code;
}

bool ParvaneProcess::Running() const
{
    return m_process && ::WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

bool ParvaneProcess::WaitUntilResponsive(Duration timeout)
{
    // The dialog answers during a run too, with its controls disabled.
    return WaitFor([&] {
        DWORD_PTR result = 0;
        return ::SendMessageTimeoutW(m_main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, &result) != 0 &&
               ::IsWindowEnabled(Control(IDC_BUTTON_CONVERT));
    }, timeout);
}

HWND ParvaneProcess::WaitForProgressWindow(Duration timeout)
{
    HWND window = nullptr;
    WaitFor([&] { return (window = FindProcessWindow(m_processId, m_main, WindowKind::Progress)) != nullptr; },
            timeout);
    return window;
}

ProgressView ReadProgressWindow(HWND window)
{
    ProgressView view;
    view.hwnd = window;
    const UINT waitMs = 1000;
    auto textOf = [&](HWND control) {
        wchar_t text[512] = {};
        DWORD_PTR copied = 0;
        ::SendMessageTimeoutW(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, waitMs, &copied);
        return std::wstring(text, copied < 512 ? copied : 511);
    };
    view.title = textOf(window);
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        std::wstring cls = ClassName(child);
        if (_wcsicmp(cls.c_str(), L"Static") == 0) {
            view.lines.push_back(textOf(child));
        } else if (_wcsicmp(cls.c_str(), L"Button") == 0 && ::IsWindowVisible(child)) {
            view.cancel = child;
        } else if (cls == L"msctls_progress32") {
            DWORD_PTR position = 0;
            ::SendMessageTimeoutW(child, PBM_GETPOS, 0, 0, SMTO_NORMAL, waitMs, &position);
            view.barPosition = static_cast<int>(position);
        }
    }
    return view;
}

int ProgressView::Count(int* total) const
{
    for (const std::wstring& line : lines) {
        int number = 0, of = 0;
        wchar_t unit[8] = {};
        if (std::swscanf(line.c_str(), L"%d / %d %7ls", &number, &of, unit) == 3 && std::wstring(unit) == L"件") {
            if (total)
                *total = of;
            return number;
        }
    }
    return -1;
}

void PressKey(WORD virtualKey, bool withShift, bool withCtrl)
{
    std::vector<INPUT> inputs;
    auto add = [&](WORD key, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (withCtrl) add(VK_CONTROL, false);
    if (withShift) add(VK_SHIFT, false);
    add(virtualKey, false);
    add(virtualKey, true);
    if (withShift) add(VK_SHIFT, true);
    if (withCtrl) add(VK_CONTROL, true);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

bool SaveScreenshot(HWND hwnd, const std::filesystem::path& file)
{
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ::Sleep(500);  // the window's own thread paints; give it time
    RECT rect;
    if (!::GetWindowRect(hwnd, &rect))
        return false;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    bool copied = ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
    ::GdiFlush();
    DWORD rowSize = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    DWORD imageSize = rowSize * static_cast<DWORD>(height);
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + imageSize;
    info.bmiHeader.biSizeImage = imageSize;
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
    out.write(static_cast<const char*>(bits), imageSize);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return copied && out.good();
}

LRESULT AnswerToEndOfSession(HWND dialog)
{
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(dialog, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &result))
        return -1;
    return static_cast<LRESULT>(result);
}

}  // namespace e2e
