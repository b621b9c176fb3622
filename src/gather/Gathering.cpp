#include "gather/Gathering.h"
#include "dicom/FileByteSource.h"
#include "disk/FolderListing.h"
#include "script/BatchEncoding.h"
#include <algorithm>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace {

// A path of this many characters or more cannot be opened by programs that
// do not ask for long paths, dcmdjpeg among them.
constexpr size_t kMaxPath = MAX_PATH;

bool IsDicomdirName(const std::wstring& name)
{
    return FoldCase(name) == L"DICOMDIR";
}

std::optional<DicomDirectory> ReadDirectory(const std::wstring& path)
{
    FileByteSource source(path);
    if (!source.IsOpen())
        return std::nullopt;
    return DicomDirectory::Read(source);
}

// The subfolders a walk never enters: links and junctions, the output folder
// where it lies inside the input folder (a second run must not convert the
// first one's outputs), and a folder walked already, which a link the system
// does not mark as one can lead back to.
class FolderGuard {
public:
    FolderGuard(const std::wstring& inputFolder, const std::wstring& outputFolder)
        : m_output(FoldCase(FullPath(outputFolder))), m_outputId(FileIdentity(outputFolder))
    {
        if (const std::optional<FileId> input = FileIdentity(inputFolder))
            m_walked.insert(*input);
    }

    // path: the subfolder's path, ending in a backslash.
    bool MayEnter(const std::wstring& path, const FolderEntry& entry)
    {
        if (entry.IsLink() || FoldCase(FullPath(path)) == m_output)
            return false;
        const std::optional<FileId> id = FileIdentity(path);
        if (!id)
            return true;
        return id != m_outputId && m_walked.insert(*id).second;
    }

private:
    std::wstring m_output;
    std::optional<FileId> m_outputId;
    std::set<FileId> m_walked;
};

// The path a record's Referenced File ID names, below its file-set's folder.
// Its components are plain ASCII by the standard; any other byte is shown as
// the replacement character, so that such a record names no file found.
std::wstring RecordPath(const std::vector<std::string>& fileId)
{
    std::wstring path;
    for (const std::string& component : fileId) {
        if (!path.empty())
            path += L'\\';
        for (unsigned char byte : component)
            path += (byte >= 0x20 && byte < 0x7F) ? static_cast<wchar_t>(byte) : L'\uFFFD';
    }
    return path;
}

// A file of a file-set's folder, below the input folder.
struct FoundFile {
    std::wstring folder;  // ending in a backslash, or empty
    std::wstring name;
    uint64_t size = 0;
    bool claimed = false;      // a record names it
    std::wstring linePath;     // its path when it got a line
};

class InputWalk {
public:
    InputWalk(const CString& inputFolder, const CString& outputFolder, Subfolders subfolders,
              WorkProgress* progress)
        : m_input(inputFolder.Str()), m_gathered(ConversionScript(inputFolder.Str(), outputFolder.Str(),
                                                                   &EncodeForBatchFile)),
          m_subfolders(subfolders), m_progress(progress), m_guard(m_input, outputFolder.Str()),
          m_longestFolder(std::max(FullPath(m_input).size(), FullPath(outputFolder.Str()).size()))
    {
    }

    GatheredInput Gather() &&
    {
        WalkFolder(std::wstring());
        ListOutputSubfolders();
        return std::move(m_gathered);
    }

private:
    bool Stopped() const { return (m_progress && m_progress->StopAsked()) || m_gathered.listingFailed; }

    // The folder's entries; a listing that ends on an error stops the walk.
    std::vector<FolderEntry> List(const std::wstring& folder)
    {
        bool complete = true;
        std::vector<FolderEntry> entries = ListFolder(m_input + folder, &complete);
        if (!complete && !m_gathered.listingFailed)
            m_gathered.listingFailed = folder;
        return complete ? entries : std::vector<FolderEntry>();
    }

    void WalkFolder(const std::wstring& folder)
    {
        const std::vector<FolderEntry> entries = List(folder);
        for (const FolderEntry& entry : entries) {
            if (entry.IsFolder() || !IsDicomdirName(entry.name))
                continue;
            if (std::optional<DicomDirectory> directory = ReadDirectory(m_input + folder + entry.name)) {
                GatherFileSet(folder, entry, std::move(*directory));
                return;
            }
            m_gathered.script.LeaveOut(folder + entry.name, SkipReason::DicomdirUnreadable);
        }
        for (const FolderEntry& entry : entries) {
            if (entry.IsFolder() || IsDicomdirName(entry.name))
                continue;
            AddFile(folder, entry.name, entry.size);
            if (Stopped())
                return;
        }
        if (m_subfolders == Subfolders::Skipped)
            return;
        for (const FolderEntry& entry : entries) {
            if (entry.IsFolder() && MayEnter(folder, entry)) {
                WalkFolder(folder + entry.name + L"\\");
                if (Stopped())
                    return;
            }
        }
    }

    // A subfolder whose name could break the batch line, or whose files'
    // paths would all be too long, is listed once, with everything in it.
    bool MayEnter(const std::wstring& folder, const FolderEntry& entry)
    {
        const std::wstring path = folder + entry.name + L"\\";
        if (!m_guard.MayEnter(m_input + path, entry))
            return false;
        if (const std::optional<SkipReason> problem = FileNameProblem(entry.name)) {
            m_gathered.script.LeaveOut(path, *problem);
            return false;
        }
        if (m_longestFolder + path.size() >= kMaxPath) {
            m_gathered.script.LeaveOut(path, SkipReason::PathTooLong);
            return false;
        }
        return true;
    }

    // Gives the file its line, or lists why it gets none; true when it got
    // one. Its folder (below the input folder) is made of names checked when
    // the walk entered them.
    bool AddFile(const std::wstring& folder, const std::wstring& name, uint64_t size)
    {
        if (m_progress)
            m_progress->Step();
        const std::wstring path = folder + name;
        // A folder on a case-sensitive share can hold IM1.dcm and im1.dcm;
        // on Windows both lines would write one output.
        if (!m_paths.insert(FoldCase(path)).second) {
            m_gathered.script.LeaveOut(path, SkipReason::SameNameButCase);
            return false;
        }
        if (m_longestFolder + path.size() >= kMaxPath) {
            m_gathered.script.LeaveOut(path, SkipReason::PathTooLong);
            return false;
        }
        const size_t lines = m_gathered.script.FilesWithLine().size();
        m_gathered.script.AddFile(folder, name, size);
        return m_gathered.script.FilesWithLine().size() > lines;
    }

    // The files its records name get lines, in the records' order; the
    // folder's other files are counted and left as they are.
    void GatherFileSet(const std::wstring& folder, const FolderEntry& directoryEntry, DicomDirectory directory)
    {
        std::unordered_map<std::wstring, FoundFile> files;
        CollectFiles(folder, folder + directoryEntry.name, files);
        FileSet set{ folder, directoryEntry.name, directoryEntry.size, std::move(directory), {} };
        const std::vector<DirectoryFileRecord>& records = set.directory.FileRecords();
        set.recordFiles.resize(records.size());
        for (size_t record = 0; record < records.size() && !Stopped(); ++record) {
            const std::wstring path = folder + RecordPath(records[record].fileId);
            auto found = files.find(FoldCase(path));
            if (found == files.end()) {
                m_gathered.script.LeaveOut(path, SkipReason::ListedFileMissing);
                continue;
            }
            FoundFile& file = found->second;
            if (!file.claimed && AddFile(file.folder, file.name, file.size))
                file.linePath = file.folder + file.name;
            file.claimed = true;
            set.recordFiles[record] = file.linePath;
        }
        for (const auto& [folded, file] : files)
            m_gathered.filesLeftAsTheyAre += file.claimed ? 0 : 1;
        m_gathered.fileSets.push_back(std::move(set));
    }

    // Every file at any depth below folder, by folded path, but the DICOMDIR.
    void CollectFiles(const std::wstring& folder, const std::wstring& directoryPath,
                      std::unordered_map<std::wstring, FoundFile>& files)
    {
        for (const FolderEntry& entry : List(folder)) {
            if (Stopped())
                return;
            const std::wstring path = folder + entry.name;
            if (!entry.IsFolder()) {
                const FoundFile file{ folder, entry.name, entry.size, false, {} };
                if (path != directoryPath && !files.emplace(FoldCase(path), file).second)
                    m_gathered.script.LeaveOut(path, SkipReason::SameNameButCase);
            } else if (MayEnter(folder, entry)) {
                CollectFiles(path + L"\\", directoryPath, files);
            }
        }
    }

    // The folders of the lines and of the file-sets' DICOMDIRs, each after
    // the folder that holds it.
    void ListOutputSubfolders()
    {
        std::unordered_set<std::wstring> listed;
        auto add = [&](const std::wstring& folder) {
            for (size_t slash = folder.find(L'\\'); slash != std::wstring::npos; slash = folder.find(L'\\', slash + 1)) {
                const std::wstring part = folder.substr(0, slash + 1);
                if (listed.insert(FoldCase(part)).second)
                    m_gathered.outputSubfolders.push_back(part);
            }
        };
        for (const FileSet& set : m_gathered.fileSets)
            add(set.folder);
        for (const std::wstring& path : m_gathered.script.FilesWithLine())
            add(SplitFolder(path).first);
    }

    std::wstring m_input;
    GatheredInput m_gathered;
    Subfolders m_subfolders;
    WorkProgress* m_progress;
    FolderGuard m_guard;
    size_t m_longestFolder;
    std::unordered_set<std::wstring> m_paths;  // folded, of the files looked at  // the longer of the two folders' full paths
};

// Whether the folder (ending in a backslash), or any folder below it that a
// walk would enter, holds a file.
bool HoldsAnyFile(const std::wstring& folder, FolderGuard& guard)
{
    const std::vector<FolderEntry> entries = ListFolder(folder);
    for (const FolderEntry& entry : entries) {
        if (!entry.IsFolder())
            return true;
    }
    for (const FolderEntry& entry : entries) {
        const std::wstring path = folder + entry.name + L"\\";
        if (entry.IsFolder() && guard.MayEnter(path, entry) && HoldsAnyFile(path, guard))
            return true;
    }
    return false;
}

}  // namespace

InputLayout SurveyInputFolder(const CString& inputFolder, const CString& outputFolder)
{
    InputLayout layout;
    const std::wstring input = inputFolder.Str();
    for (const FolderEntry& entry : ListFolder(input)) {
        if (!entry.IsFolder() && IsDicomdirName(entry.name) && ReadDirectory(input + entry.name)) {
            layout.fileSet = true;
            return layout;
        }
    }
    FolderGuard guard(input, outputFolder.Str());
    for (const FolderEntry& entry : ListFolder(input)) {
        const std::wstring path = input + entry.name + L"\\";
        if (entry.IsFolder() && guard.MayEnter(path, entry) && HoldsAnyFile(path, guard)) {
            layout.subfoldersHoldFiles = true;
            break;
        }
    }
    return layout;
}

GatheredInput GatherInput(const CString& inputFolder, const CString& outputFolder, Subfolders subfolders,
                          WorkProgress* progress)
{
    return InputWalk(inputFolder, outputFolder, subfolders, progress).Gather();
}

ConversionScript GatherConversionScript(const CString& inputFolder, const CString& outputFolder,
                                        WorkProgress* progress)
{
    return GatherInput(inputFolder, outputFolder, Subfolders::Skipped, progress).script;
}

void NoteFilesAddedDuringRun(ConversionScript& script, const CString& inputFolder, const CString& outputFolder,
                             Subfolders subfolders)
{
    std::unordered_set<std::wstring> seen;
    for (const std::wstring& path : script.FilesWithLine())
        seen.insert(FoldCase(path));
    for (const SkippedFile& file : script.Skipped())
        seen.insert(FoldCase(file.name));
    const GatheredInput now = GatherInput(inputFolder, outputFolder, subfolders);
    std::vector<std::wstring> added;
    for (const std::wstring& path : now.script.FilesWithLine())
        added.push_back(path);
    for (const SkippedFile& file : now.script.Skipped())
        added.push_back(file.name);
    for (const std::wstring& path : added) {
        if (seen.insert(FoldCase(path)).second)
            script.LeaveOut(path, SkipReason::AddedDuringRun);
    }
}

bool CreateOutputSubfolders(const CString& outputFolder, const std::vector<std::wstring>& subfolders)
{
    for (const std::wstring& folder : subfolders) {
        const std::wstring path = outputFolder.Str() + folder;
        if (!::CreateDirectoryW(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return true;
}
