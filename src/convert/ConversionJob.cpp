#include "convert/ConversionJob.h"
#include "convert/FileByteSource.h"
#include "convert/RunOutcome.h"

bool FolderFound(const CString& folder)
{
    CFileFind finder;
    return finder.FindFile(folder + L"*");
}

bool CreateOutputFolder(const CString& folder)
{
    return ::CreateDirectoryW(folder, nullptr) != FALSE;
}

namespace {

// Every OEM and ANSI code page of Windows writes ASCII as itself.
bool EncodeAscii(std::wstring_view text, std::string& bytes)
{
    bytes.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= 0x80)
            return false;
        bytes[i] = static_cast<char>(text[i]);
    }
    return true;
}

}  // namespace

bool EncodeForBatchFile(std::wstring_view text, std::string& bytes)
{
    if (EncodeAscii(text, bytes))
        return true;
    static const UINT oem = ::GetOEMCP();
    static const UINT ansi = ::GetACP();
    if (!CodePageFromWide(text, oem, bytes))
        return false;
    if (ansi == oem)
        return true;
    std::string ansiBytes;
    return CodePageFromWide(text, ansi, ansiBytes);
}

ConversionScript GatherConversionScript(const CString& inputFolder, const CString& outputFolder,
                                        WorkProgress* progress)
{
    ConversionScript script(inputFolder.Str(), outputFolder.Str(), &EncodeForBatchFile);
    CFileFind finder;
    if (!finder.FindFile(inputFolder + L"*"))
        return script;
    // The finder keeps one entry in reserve, so the entry made current by the
    // call that returns zero is still handled.
    BOOL more;
    do {
        more = finder.FindNextFile();
        if (finder.IsDots() || finder.IsDirectory())
            continue;
        script.AddFile(finder.GetFileName().Str(), finder.GetLength());
        if (progress) {
            progress->Step();
            if (progress->StopAsked())
                break;
        }
    } while (more);
    return script;
}

namespace {

// The folder that holds the given one (both end in a backslash).
std::wstring ParentFolder(const std::wstring& folder)
{
    size_t end = folder.size() > 1 ? folder.find_last_of(L'\\', folder.size() - 2) : std::wstring::npos;
    return end == std::wstring::npos ? folder : folder.substr(0, end + 1);
}

}  // namespace

bool ParentFolderFound(const CString& folder)
{
    const std::wstring parent = ParentFolder(folder.Str());
    return parent == folder.Str() || FolderFound(CString(parent));
}

namespace {

// Whether both paths name one file: the same volume and file index.
bool SameFile(const std::wstring& a, const std::wstring& b)
{
    auto identify = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
        ScopedFileHandle file(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        return file.IsValid() && ::GetFileInformationByHandle(file.Get(), &info);
    };
    BY_HANDLE_FILE_INFORMATION first, second;
    return identify(a, first) && identify(b, second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

// Calls visit(line, name, inputPath, outputPath) for every file with a line.
template <typename Visit>
void ForEachFileWithLine(const ConversionScript& script, const CString& inputFolder, Visit visit)
{
    std::wstring input = inputFolder.Str(), output = script.OutputFolder();
    const size_t inputLength = input.size(), outputLength = output.size();
    const std::vector<std::wstring>& names = script.FilesWithLine();
    for (size_t line = 0; line < names.size(); ++line) {
        input.resize(inputLength);
        input += names[line];
        output.resize(outputLength);
        output += names[line];
        visit(line, names[line], input, output);
    }
}

// What the output's check finds; an output that cannot be opened is not read.
WholeFileVerdict CheckOutput(const std::wstring& output)
{
    FileByteSource source(output);
    return source.IsOpen() ? CheckWholeUncompressed(source) : WholeFileVerdict::ReadFailed;
}

// The cluster size of the disk holding the folder: asked of the folder, and
// where that is refused (the call wants a volume's root on some systems), of
// the root of its volume. 0 when neither answers.
uint64_t ClusterSize(const std::wstring& folder)
{
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (::GetDiskFreeSpaceW(folder.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        return uint64_t{ sectorsPerCluster } * bytesPerSector;
    wchar_t root[MAX_PATH + 1];
    if (::GetVolumePathNameW(folder.c_str(), root, MAX_PATH + 1) &&
        ::GetDiskFreeSpaceW(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        return uint64_t{ sectorsPerCluster } * bytesPerSector;
    return 0;
}

// Where a cluster size cannot be asked: the largest NTFS uses by default, so
// that small outputs are not counted below the room they take.
constexpr uint64_t kAssumedClusterSize = 64 * 1024;

}  // namespace

DiskSpace MeasureDiskSpace(const RunBaseline& baseline, const CString& outputFolder)
{
    DiskSpace space;
    const std::wstring output = outputFolder.Str();
    const std::wstring measuredAt = FolderFound(outputFolder) ? output : ParentFolder(output);
    ULARGE_INTEGER freeToCaller{};
    space.measured = ::GetDiskFreeSpaceExW(measuredAt.c_str(), &freeToCaller, nullptr, nullptr) != FALSE;
    space.available = freeToCaller.QuadPart;
    space.clusterSize = ClusterSize(measuredAt);
    const uint64_t clusterSize = space.clusterSize != 0 ? space.clusterSize : kAssumedClusterSize;
    for (size_t line = 0; line < baseline.Lines(); ++line) {
        const std::optional<uint64_t> expected = baseline.OutputSizeExpected(line);
        if (!expected) {
            ++space.unestimated;
            continue;
        }
        const FileState& replaced = baseline.OutputBefore(line);
        const uint64_t room = RoomNeeded(*expected, replaced.exists ? replaced.size : 0, clusterSize);
        space.needed = room > UINT64_MAX - space.needed ? UINT64_MAX : space.needed + room;
    }
    space.margin = RoomMargin(space.needed);
    if (space.margin > UINT64_MAX - space.needed)
        space.margin = UINT64_MAX - space.needed;
    return space;
}

bool FoldersAreOne(const CString& inputFolder, const CString& outputFolder)
{
    return SameFile(inputFolder.Str(), outputFolder.Str());
}

namespace {

// Why dcmdjpeg wrote no output for the line, from its input; a file too
// small to be DICOM is not opened for it.
SkipReason ReasonFromInput(const RunBaseline& baseline, size_t line, const std::wstring& input)
{
    if (baseline.InputTooSmallForDicom(line))
        return SkipReason::NotDicom;
    FileByteSource source(input);
    return source.IsOpen() ? ReasonForMissingOutput(ReadDicomHeader(source)) : SkipReason::NotConverted;
}

}  // namespace

void MarkFilesNotConverted(ConversionScript& script, const CString& inputFolder, const RunBaseline& baseline,
                           WorkProgress* progress)
{
    std::vector<SkippedFile> notConverted;
    if (progress)
        progress->total = script.FilesWithLine().size();
    ForEachFileWithLine(script, inputFolder, [&](size_t line, const std::wstring& name, const std::wstring& input,
                                                 const std::wstring& output) {
        if (progress)
            progress->Step();
        if (!baseline.OutputWritten(line)) {
            notConverted.push_back({ name, ReasonFromInput(baseline, line, input) });
            return;
        }
        // Whether the output replaced its input costs two opens: asked only
        // of an output that is not whole.
        const WholeFileVerdict verdict = CheckOutput(output);
        std::optional<SkipReason> reason = ReasonForWrittenOutput(verdict, baseline.InputHadPixelData(line), false);
        if (reason == SkipReason::OutputIncomplete)
            reason = ReasonForWrittenOutput(verdict, baseline.InputHadPixelData(line), SameFile(input, output));
        if (reason)
            notConverted.push_back({ name, *reason });
    });
    for (const SkippedFile& file : notConverted)
        script.MarkNotConverted(file.name, file.reason);
}
