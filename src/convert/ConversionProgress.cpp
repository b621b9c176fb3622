#include "convert/ConversionProgress.h"

namespace {

constexpr ULONGLONG kFatTimeResolution = 2 * 10'000'000ULL;  // in 100-nanosecond units

ULONGLONG Ticks(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

LineProgress::OutputWritten OutputOfLine(const ConversionScript& script, const FILETIME& runStart)
{
    return [&script, runStart](size_t line) {
        return OutputWrittenSince(script.OutputFolder() + script.FilesWithLine()[line], runStart);
    };
}

}  // namespace

bool OutputWrittenSince(const std::wstring& path, const FILETIME& runStart)
{
    const ULONGLONG start = Ticks(runStart);
    const ULONGLONG earliest = start > kFatTimeResolution ? start - kFatTimeResolution : 0;
    WIN32_FILE_ATTRIBUTE_DATA data;
    return ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) &&
           !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && Ticks(data.ftLastWriteTime) >= earliest;
}

ConversionProgress::ConversionProgress(const ConversionScript& script, const FILETIME& runStart)
    : m_script(script), m_runStart(runStart), m_lines(script.FilesWithLine().size())
{
}

void ConversionProgress::Poll()
{
    m_lines.Poll(OutputOfLine(m_script, m_runStart));
}

const std::wstring& ConversionProgress::CurrentName() const
{
    static const std::wstring none;
    return Total() == 0 ? none : m_script.FilesWithLine()[m_lines.Current()];
}

void MarkFilesNotReached(ConversionScript& script, const FILETIME& runStart)
{
    const size_t lines = script.FilesWithLine().size();
    script.MarkNotReached(FirstLineNotReached(lines, OutputOfLine(script, runStart)));
}
