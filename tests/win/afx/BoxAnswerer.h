#pragma once
// Reads and answers the message boxes that the code under test opens on this
// thread, as the user would.
#include <windows.h>
#include <string>
#include <vector>

struct SeenBox {
    std::wstring caption;
    std::wstring text;
    bool hasIcon = false;
};

// While it lives, every owned message box of this thread is answered with OK
// and what it showed is remembered. Its timer fires inside the box's own loop.
class BoxAnswerer {
public:
    BoxAnswerer()
    {
        s_seen.clear();
        m_timer = ::SetTimer(nullptr, 0, 100, &Answer);
    }
    ~BoxAnswerer() { ::KillTimer(nullptr, m_timer); }
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    const std::vector<SeenBox>& Seen() const { return s_seen; }

private:
    static BOOL CALLBACK FindBox(HWND hwnd, LPARAM param)
    {
        wchar_t cls[32] = {};
        ::GetClassNameW(hwnd, cls, 32);
        if (std::wstring(cls) != L"#32770" || !::IsWindowVisible(hwnd) || !::GetWindow(hwnd, GW_OWNER))
            return TRUE;
        *reinterpret_cast<HWND*>(param) = hwnd;
        return FALSE;
    }

    static SeenBox Read(HWND box)
    {
        SeenBox seen;
        wchar_t text[512] = {};
        ::GetWindowTextW(box, text, 512);
        seen.caption = text;
        for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            ::GetClassNameW(child, text, 512);
            if (_wcsicmp(text, L"Static") != 0)
                continue;
            if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                seen.hasIcon = seen.hasIcon || (::IsWindowVisible(child) && ::SendMessageW(child, STM_GETICON, 0, 0));
            } else {
                ::GetWindowTextW(child, text, 512);
                seen.text += text;
            }
        }
        return seen;
    }

    static void CALLBACK Answer(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND box = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), &FindBox, reinterpret_cast<LPARAM>(&box));
        if (!box)
            return;
        s_seen.push_back(Read(box));
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }

    UINT_PTR m_timer;
    static inline std::vector<SeenBox> s_seen;
};
