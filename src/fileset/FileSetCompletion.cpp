#include "fileset/FileSetCompletion.h"
#include "dicom/FileByteSource.h"
#include "disk/FolderListing.h"
#include <unordered_map>

namespace {

// The transfer syntax the file's meta group names; empty when it names none
// or the file cannot be read.
std::string TransferSyntaxOf(const std::wstring& path)
{
    FileByteSource source(path);
    if (!source.IsOpen())
        return {};
    const DicomHeader header = ReadDicomHeader(source);
    return header.isDicom && !header.bareDataSet ? header.transferSyntax : std::string();
}

// Writes the bytes beside the file's final name, then puts them in its place.
bool ReplaceFile(const std::wstring& path, const std::string& bytes)
{
    const std::wstring beside = path + L".parvane-new";
    bool written = false;
    {
        ScopedFileHandle file(::CreateFileW(beside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD done = 0;
        written = file.IsValid() && bytes.size() <= MAXDWORD &&
                  ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
                  done == bytes.size() && ::FlushFileBuffers(file.Get());
    }
    if (written && ::MoveFileExW(beside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    ::DeleteFileW(beside.c_str());
    return false;
}

}  // namespace

void CompleteFileSets(std::vector<FileSet>& fileSets, ConversionScript& script, const CString& inputFolder,
                      const CString& outputFolder, bool inPlace)
{
    if (fileSets.empty())
        return;
    const std::wstring input = inputFolder.Str(), output = outputFolder.Str();
    std::unordered_map<std::wstring, size_t> noOutput;
    for (size_t i = 0; i < script.Skipped().size(); ++i) {
        if (GaveNoOutput(script.Skipped()[i].reason))
            noOutput.emplace(FoldCase(script.Skipped()[i].name), i);
    }
    for (FileSet& set : fileSets) {
        const std::vector<DirectoryFileRecord>& records = set.directory.FileRecords();
        for (size_t record = 0; record < records.size(); ++record) {
            const std::wstring& path = set.recordFiles[record];
            if (path.empty())
                continue;
            auto unconverted = noOutput.find(FoldCase(path));
            if (!inPlace && unconverted != noOutput.end() &&
                ::CopyFileW((input + path).c_str(), (output + path).c_str(), FALSE))
                script.ChangeReason(unconverted->second, SkipReason::CopiedUnchanged);
            const std::string syntax = TransferSyntaxOf(output + path);
            if (!syntax.empty() && records[record].transferSyntax)
                set.directory.SetTransferSyntax(record, syntax);
        }
        if (!ReplaceFile(output + set.folder + set.directoryName, set.directory.Bytes()))
            script.LeaveOut(set.folder + set.directoryName, SkipReason::DicomdirNotWritten);
    }
}
