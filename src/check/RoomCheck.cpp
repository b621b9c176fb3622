#include "check/RoomCheck.h"
#include "check/RoomNeed.h"
#include "disk/FolderListing.h"
#include "gather/Folders.h"
#include <unordered_map>

namespace {

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

DiskSpace MeasureDiskSpace(const RunBaseline& baseline, const CString& outputFolder, uint64_t alsoWritten)
{
    DiskSpace space;
    space.needed = alsoWritten;
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

uint64_t FileSetRoom(const GatheredInput& gathered, const RunBaseline& baseline, bool inPlace)
{
    if (gathered.fileSets.empty())
        return 0;
    const ConversionScript& script = gathered.script;
    std::unordered_map<std::wstring, size_t> lineOf;
    for (size_t line = 0; line < script.FilesWithLine().size(); ++line)
        lineOf.emplace(FoldCase(script.FilesWithLine()[line]), line);
    uint64_t room = 0;
    for (const FileSet& set : gathered.fileSets) {
        room += set.directorySize;
        for (const std::wstring& path : set.recordFiles) {
            auto line = lineOf.find(FoldCase(path));
            if (inPlace || line == lineOf.end() || baseline.OutputSizeExpected(line->second) != uint64_t{ 0 })
                continue;
            const uint64_t size = script.InputSizes()[line->second];
            room += size == ConversionScript::kSizeUnknown ? 0 : size;
            lineOf.erase(line);  // a file named by two records is copied once
        }
    }
    return room;
}
