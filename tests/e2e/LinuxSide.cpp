#include "LinuxSide.h"
#include "e2e_paths.h"
#include <atomic>

namespace e2e {

namespace {

std::wstring UnixPathWide(const std::filesystem::path& path)
{
    std::wstring text = path.wstring();
    if (text.size() >= 2 && (text[0] == L'Z' || text[0] == L'z') && text[1] == L':')
        text.erase(0, 2);
    for (wchar_t& ch : text) {
        if (ch == L'\\')
            ch = L'/';
    }
    return text;
}

}  // namespace

std::string UnixPath(const std::filesystem::path& path)
{
    const std::wstring text = UnixPathWide(path);
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                             nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), length, nullptr,
                          nullptr);
    return utf8;
}

std::filesystem::path TestSourceFolder() { return E2E_SOURCE_FOLDER_PATH; }

std::optional<std::string> RunLinuxScript(const std::string& script, Duration timeout)
{
    static std::atomic<int> count{ 0 };
    const std::filesystem::path folder = ArtifactFolder() / L"linux-side";
    std::filesystem::create_directories(folder);
    const std::wstring stem = std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++count);
    const std::filesystem::path wrapper = folder / (stem + L".sh"), output = folder / (stem + L".out");
    std::filesystem::remove(output);
    // The output gets its name only once the script has ended, so that a
    // reader never sees it half-written.
    const std::string tmp = UnixPath(output) + ".tmp";
    WriteFileBytes(wrapper, "(\n" + script + "\n) > '" + tmp + "' 2>&1\nmv '" + tmp + "' '" + UnixPath(output) + "'\n");
    std::wstring command = L"Z:\\bin\\bash \"" + UnixPathWide(wrapper) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &process))
        return std::nullopt;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    if (!WaitFor([&] { return std::filesystem::exists(output); }, timeout))
        return std::nullopt;
    return ReadFileBytes(output);
}

}  // namespace e2e
