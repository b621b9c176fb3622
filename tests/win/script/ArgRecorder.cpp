// A stand-in for dcmdjpeg.exe in the tests of what cmd hands a program: a
// narrow-char program like the real one, which appends what it got to
// args.log beside itself. A record is the command line as GetCommandLineW
// gives it, then each argument of argv turned to UTF-16 from the ANSI code
// page; U+0001 ends each field and U+0002 each record, so any text fits.
#include <windows.h>
#include <string>

namespace {

std::wstring WideFromAnsi(const char* text)
{
    int count = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (count <= 1)
        return {};
    std::wstring wide(static_cast<size_t>(count), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], count);
    wide.resize(static_cast<size_t>(count - 1));
    return wide;
}

}  // namespace

int main(int argc, char** argv)
{
    std::wstring record = ::GetCommandLineW();
    record += L'\x1';
    for (int i = 0; i < argc; ++i) {
        record += WideFromAnsi(argv[i]);
        record += L'\x1';
    }
    record += L'\x2';

    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring log = self;
    log = log.substr(0, log.rfind(L'\\') + 1) + L"args.log";
    HANDLE file = ::CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    DWORD written = 0;
    ::WriteFile(file, record.data(), static_cast<DWORD>(record.size() * sizeof(wchar_t)), &written, nullptr);
    ::CloseHandle(file);
    return 0;
}
