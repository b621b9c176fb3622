#include "run/RunJournal.h"
#include "run/BatchFile.h"
#include <algorithm>
#include <charconv>
#include <cwchar>

namespace {

const char kFirstLine[] = "Parvane run journal 1";
const wchar_t kJournalName[] = L"uncompress.journal";

// The script's paths hold no unpaired surrogate (no code page of a batch file
// can), so they always have a UTF-8 form.
std::string ToUtf8(const std::wstring& text)
{
    std::string bytes;
    CodePageFromWide(text, CP_UTF8, bytes);
    return bytes;
}

std::wstring FromUtf8(std::string_view bytes)
{
    return WideFromCodePage(std::string(bytes), CP_UTF8);
}

std::string Number(uint64_t value)
{
    return std::to_string(value);
}

// A value that may be absent is written as "-".
std::string Maybe(const std::optional<uint64_t>& value)
{
    return value ? Number(*value) : "-";
}

std::optional<uint64_t> ReadNumber(std::string_view text)
{
    uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<bool> ReadFlag(std::string_view text)
{
    if (text == "0" || text == "1")
        return text == "1";
    return std::nullopt;
}

// The fields of a record, split at tabs; a path, the last field, holds none
// (no name the script gives a line holds a control character).
std::vector<std::string_view> Fields(std::string_view record)
{
    std::vector<std::string_view> fields;
    for (size_t start = 0;;) {
        const size_t tab = record.find('\t', start);
        fields.push_back(record.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

// line <input size> <output existed> <its size> <its stamp> <looked up>
//      <input had pixel data> <expected output size> <too small> <path>
std::string LineRecord(const RunJournal::Line& line)
{
    const std::string pixelData = line.input.hasPixelData ? (*line.input.hasPixelData ? "1" : "0") : "-";
    const std::string inputSize = line.inputSize == ConversionScript::kSizeUnknown ? "-" : Number(line.inputSize);
    return "line\t" + inputSize + "\t" + (line.outputBefore.exists ? "1" : "0") + "\t" +
           Number(line.outputBefore.size) + "\t" + Number(line.outputBefore.lastWrite) + "\t" +
           (line.outputBefore.lookedUp ? "1" : "0") + "\t" + pixelData + "\t" + Maybe(line.input.outputSize) + "\t" +
           (line.input.tooSmallForDicom ? "1" : "0") + "\t" + ToUtf8(line.path) + "\n";
}

std::optional<RunJournal::Line> ReadLineRecord(const std::vector<std::string_view>& fields)
{
    if (fields.size() != 10)
        return std::nullopt;
    RunJournal::Line line;
    if (fields[1] != "-") {
        const std::optional<uint64_t> size = ReadNumber(fields[1]);
        if (!size)
            return std::nullopt;
        line.inputSize = *size;
    }
    const std::optional<bool> exists = ReadFlag(fields[2]), lookedUp = ReadFlag(fields[5]),
                              tooSmall = ReadFlag(fields[8]);
    const std::optional<uint64_t> size = ReadNumber(fields[3]), stamp = ReadNumber(fields[4]);
    std::wstring path = FromUtf8(fields[9]);
    if (!exists || !lookedUp || !tooSmall || !size || !stamp || path.empty())
        return std::nullopt;
    line.outputBefore = FileState{ *lookedUp, *exists, *size, *stamp };
    line.input.tooSmallForDicom = *tooSmall;
    if (fields[6] != "-") {
        const std::optional<bool> pixelData = ReadFlag(fields[6]);
        if (!pixelData)
            return std::nullopt;
        line.input.hasPixelData = *pixelData;
    }
    if (fields[7] != "-") {
        line.input.outputSize = ReadNumber(fields[7]);
        if (!line.input.outputSize)
            return std::nullopt;
    }
    line.path = std::move(path);
    return line;
}

}  // namespace

RunJournal MakeRunJournal(const ConversionScript& script, const std::wstring& inputFolder,
                          const RunBaseline& baseline, bool inPlace, std::vector<std::wstring> fileSetDirectories)
{
    RunJournal journal;
    journal.inputFolder = inputFolder;
    journal.outputFolder = script.OutputFolder();
    journal.inPlace = inPlace;
    journal.fileSetDirectories = std::move(fileSetDirectories);
    const std::vector<std::wstring>& paths = script.FilesWithLine();
    journal.lines.reserve(paths.size());
    for (size_t line = 0; line < paths.size(); ++line)
        journal.lines.push_back({ paths[line], script.InputSizes()[line], baseline.OutputBefore(line),
                                  baseline.InputBefore(line) });
    return journal;
}

std::string FormatRunJournal(const RunJournal& journal)
{
    std::string text = std::string(kFirstLine) + "\n";
    text += "input\t" + ToUtf8(journal.inputFolder) + "\n";
    text += "output\t" + ToUtf8(journal.outputFolder) + "\n";
    text += std::string("inplace\t") + (journal.inPlace ? "1" : "0") + "\n";
    for (const std::wstring& directory : journal.fileSetDirectories)
        text += "fileset\t" + ToUtf8(directory) + "\n";
    for (const RunJournal::Line& line : journal.lines)
        text += LineRecord(line);
    text += "end\t" + Number(journal.lines.size()) + "\n";
    return text;
}

std::optional<RunJournal> ParseRunJournal(const std::string& text)
{
    RunJournal journal;
    bool first = true;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos)
            return std::nullopt;  // cut inside a record
        const std::string_view record(text.data() + start, end - start);
        start = end + 1;
        if (first) {
            if (record != kFirstLine)
                return std::nullopt;
            first = false;
            continue;
        }
        const std::vector<std::string_view> fields = Fields(record);
        const std::string_view kind = fields[0];
        if (kind == "end") {
            const bool whole = fields.size() == 2 && ReadNumber(fields[1]) == journal.lines.size() &&
                               start == text.size() && !journal.inputFolder.empty() && !journal.outputFolder.empty();
            return whole ? std::optional<RunJournal>(std::move(journal)) : std::nullopt;
        }
        if (kind == "line") {
            std::optional<RunJournal::Line> line = ReadLineRecord(fields);
            if (!line)
                return std::nullopt;
            journal.lines.push_back(std::move(*line));
            continue;
        }
        if (fields.size() != 2)
            return std::nullopt;
        const std::wstring value = FromUtf8(fields[1]);
        if (kind == "input")
            journal.inputFolder = value;
        else if (kind == "output")
            journal.outputFolder = value;
        else if (kind == "inplace" && ReadFlag(fields[1]))
            journal.inPlace = *ReadFlag(fields[1]);
        else if (kind == "fileset")
            journal.fileSetDirectories.push_back(value);
        else
            return std::nullopt;
    }
    return std::nullopt;  // no end record
}

std::wstring RunJournalPath()
{
    std::wstring path = BatchFilePath();
    path.resize(path.size() - std::wcslen(kBatchFileName));
    return path + kJournalName;
}

bool WriteRunJournal(const std::string& text)
{
    ScopedFileHandle file(::CreateFileW(RunJournalPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return false;
    for (size_t written = 0; written < text.size();) {
        DWORD chunk = 0;
        const DWORD asked = static_cast<DWORD>(std::min<size_t>(text.size() - written, 1u << 24));
        if (!::WriteFile(file.Get(), text.data() + written, asked, &chunk, nullptr) || chunk == 0)
            return false;
        written += chunk;
    }
    return ::FlushFileBuffers(file.Get()) != FALSE;
}

bool RunJournalFound()
{
    return ::GetFileAttributesW(RunJournalPath().c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<RunJournal> ReadRunJournal()
{
    ScopedFileHandle file(::CreateFileW(RunJournalPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file.IsValid() || !::GetFileSizeEx(file.Get(), &size) || size.QuadPart > (1LL << 31))
        return std::nullopt;
    std::string text(static_cast<size_t>(size.QuadPart), '\0');
    for (size_t read = 0; read < text.size();) {
        DWORD chunk = 0;
        const DWORD asked = static_cast<DWORD>(std::min<size_t>(text.size() - read, 1u << 24));
        if (!::ReadFile(file.Get(), &text[read], asked, &chunk, nullptr) || chunk == 0)
            return std::nullopt;
        read += chunk;
    }
    return ParseRunJournal(text);
}

void RemoveRunJournal()
{
    ::DeleteFileW(RunJournalPath().c_str());
}
