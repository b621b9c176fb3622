#include "run/RunBaseline.h"
#include "dicom/FileByteSource.h"
#include "dicom/OutputEstimate.h"
#include <unordered_map>

namespace {

uint64_t Combine(DWORD high, DWORD low)
{
    return (static_cast<uint64_t>(high) << 32) | low;
}

// File names compare without regard to case on Windows volumes: the output
// of "a.dcm" in a folder holding "A.DCM" replaces that file.
std::wstring FoldCase(const std::wstring& name)
{
    if (name.empty())
        return name;
    std::wstring folded(name.size() * 2, L'\0');
    const int length = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, name.c_str(),
                                       static_cast<int>(name.size()), &folded[0], static_cast<int>(folded.size()),
                                       nullptr, nullptr, 0);
    if (length <= 0)
        return name;
    folded.resize(static_cast<size_t>(length));
    return folded;
}

// Every plain file of the folder, by folded name, in one listing.
std::unordered_map<std::wstring, FileState> ListFolder(const std::wstring& folder)
{
    std::unordered_map<std::wstring, FileState> files;
    WIN32_FIND_DATAW entry;
    ScopedFindHandle search(::FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &entry,
                                               FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!search.IsValid())
        return files;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        FileState state;
        state.exists = true;
        state.size = Combine(entry.nFileSizeHigh, entry.nFileSizeLow);
        state.lastWrite = Combine(entry.ftLastWriteTime.dwHighDateTime, entry.ftLastWriteTime.dwLowDateTime);
        files.emplace(FoldCase(entry.cFileName), state);
    } while (::FindNextFileW(search.Get(), &entry));
    return files;
}

}  // namespace

FileState CurrentFileState(const std::wstring& path)
{
    FileState state;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return state;
    state.exists = true;
    state.size = Combine(data.nFileSizeHigh, data.nFileSizeLow);
    state.lastWrite = Combine(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    return state;
}

std::optional<uint64_t> FileIdentity(const std::wstring& path)
{
    // No access asked beyond the attributes, so that no sharing mode of
    // another program refuses it.
    ScopedFileHandle file(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!file.IsValid() || !::GetFileInformationByHandle(file.Get(), &info))
        return std::nullopt;
    return Combine(info.nFileIndexHigh, info.nFileIndexLow);
}

RunBaseline::RunBaseline(const ConversionScript& script, const std::wstring& inputFolder, WorkProgress* progress)
    : m_script(script)
{
    const std::vector<std::wstring>& names = script.FilesWithLine();
    const std::unordered_map<std::wstring, FileState> listed = ListFolder(script.OutputFolder());
    m_outputs.resize(names.size());
    m_inputs.resize(names.size());
    if (progress)
        progress->total = names.size();
    for (size_t line = 0; line < names.size(); ++line) {
        if (progress) {
            if (progress->StopAsked())
                return;
            progress->Step();
        }
        auto found = listed.find(FoldCase(names[line]));
        if (found != listed.end()) {
            m_outputs[line] = found->second;
            m_outputs[line].identity = FileIdentity(OutputPath(line));
        }
        m_inputs[line] = ReadInput(inputFolder + names[line], script.InputSizes()[line]);
    }
}

RunBaseline::Input RunBaseline::ReadInput(const std::wstring& path, uint64_t listedSize)
{
    Input input;
    // dcmdjpeg writes nothing for it: no room is needed.
    if (listedSize < kSmallestDicomFile) {
        input.outputSize = 0;
        input.tooSmallForDicom = true;
        return input;
    }
    FileByteSource source(path);
    // A file this program cannot open for reading, with every sharing mode
    // allowed, dcmdjpeg cannot read either; its size is counted all the same.
    if (!source.IsOpen()) {
        input.outputSize = CurrentFileState(path).size;
        return input;
    }
    const DicomHeader header = ReadDicomHeader(source);
    input.hasPixelData = header.hasPixelData;
    input.outputSize = EstimatedOutputSize(header, source.Size());
    return input;
}

std::wstring RunBaseline::OutputPath(size_t line) const
{
    return m_script.OutputFolder() + m_script.FilesWithLine()[line];
}

bool RunBaseline::OutputWritten(size_t line) const
{
    const std::wstring path = OutputPath(line);
    return WrittenSince(m_outputs.at(line), CurrentFileState(path), [&path] { return FileIdentity(path); });
}
