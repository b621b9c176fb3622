#include "run/RunBaseline.h"
#include "dicom/FileByteSource.h"
#include "dicom/OutputEstimate.h"
#include "disk/FolderListing.h"
#include <unordered_map>

namespace {

uint64_t Combine(DWORD high, DWORD low)
{
    return (static_cast<uint64_t>(high) << 32) | low;
}

// Every plain file of the folder, by folded name, in one listing (never a
// look-up per missing name, which costs a scan of a large folder on some
// systems).
std::unordered_map<std::wstring, FileState> ListOutputs(const std::wstring& folder, bool& complete)
{
    std::unordered_map<std::wstring, FileState> files;
    for (const FolderEntry& entry : ListFolder(folder, &complete)) {
        if (entry.IsFolder())
            continue;
        FileState state;
        state.exists = true;
        state.size = entry.size;
        state.lastWrite = entry.lastWrite;
        files.emplace(FoldCase(entry.name), state);
    }
    return files;
}

}  // namespace

FileState CurrentFileState(const std::wstring& path)
{
    FileState state;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        const DWORD error = ::GetLastError();
        state.lookedUp = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return state;
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return state;
    state.exists = true;
    state.size = Combine(data.nFileSizeHigh, data.nFileSizeLow);
    state.lastWrite = Combine(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    // A link is judged by the file it leads to.
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        LinkTarget(path, state.size, state.lastWrite);
    return state;
}

RunBaseline::RunBaseline(const ConversionScript& script, const std::wstring& inputFolder, WorkProgress* progress)
    : m_script(script)
{
    const std::vector<std::wstring>& names = script.FilesWithLine();
    // Each output folder is listed once, when its first line comes.
    std::unordered_map<std::wstring, std::unordered_map<std::wstring, FileState>> listings;
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
        const auto [folder, name] = SplitFolder(names[line]);
        auto listing = listings.find(FoldCase(folder));
        if (listing == listings.end()) {
            bool complete = true;
            listing = listings.emplace(FoldCase(folder), ListOutputs(script.OutputFolder() + folder, complete)).first;
            if (!complete) {
                m_listingFailed = script.OutputFolder() + folder;
                return;
            }
        }
        auto found = listing->second.find(FoldCase(name));
        if (found != listing->second.end())
            m_outputs[line] = found->second;
        m_inputs[line] = ReadInput(inputFolder + names[line], script.InputSizes()[line]);
    }
}

RunBaseline::RunBaseline(const ConversionScript& script, std::vector<FileState> outputs, std::vector<Input> inputs)
    : m_script(script), m_outputs(std::move(outputs)), m_inputs(std::move(inputs))
{
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
    return OutputWrittenIfKnown(line).value_or(false);
}

std::optional<bool> RunBaseline::OutputWrittenIfKnown(size_t line) const
{
    const FileState now = CurrentFileState(OutputPath(line));
    if (!now.lookedUp)
        return std::nullopt;
    return WrittenSince(m_outputs.at(line), now);
}
