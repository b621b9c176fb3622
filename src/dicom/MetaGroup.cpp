#include "dicom/MetaGroup.h"

namespace dicom_detail {

namespace {

// A transfer syntax UID holds at most 64 characters; a longer meta value is
// read as far as this and then no longer matches any known syntax.
constexpr uint32_t kMaxUidBytes = 256;

}  // namespace

WholeFileVerdict ReadMetaGroup(WindowedReader& reader, MetaGroup& meta, bool trustGroupLength)
{
    const uint64_t size = reader.Size();
    if (size < kDataStart)
        return WholeFileVerdict::NoPreamble;
    char magic[4];
    if (!reader.Read(kPreambleSize, magic, 4))
        return WholeFileVerdict::ReadFailed;
    if (std::memcmp(magic, "DICM", 4) != 0)
        return WholeFileVerdict::NoDicmPrefix;

    uint64_t offset = kDataStart;
    std::optional<uint64_t> groupEnd;
    for (;;) {
        if (groupEnd) {
            if (offset == *groupEnd)
                break;
        } else {
            uint8_t group[2];
            if (size - offset < 2)
                break;
            if (!reader.Read(offset, group, 2))
                return WholeFileVerdict::ReadFailed;
            if (Read16(group, false) != 0x0002)
                break;
        }
        const uint64_t limit = groupEnd ? *groupEnd : size;
        ElementHeader e;
        WholeFileVerdict verdict = ReadElementHeader(reader, offset, limit, kExplicitLittle, e);
        if (verdict == WholeFileVerdict::ReadFailed)
            return verdict;
        if (verdict == WholeFileVerdict::ElementCut || (verdict == WholeFileVerdict::Whole &&
                                                        e.length != kUndefinedLength && e.length > size - e.valueStart))
            meta.endsInside = true;
        if (verdict != WholeFileVerdict::Whole || (e.tag >> 16) != 0x0002 || e.length == kUndefinedLength ||
            e.length > limit - e.valueStart)
            return WholeFileVerdict::MetaGroupUnreadable;
        const uint64_t valueEnd = e.valueStart + e.length;
        if (e.tag == kGroupLength && offset == kDataStart && e.length == 4 && trustGroupLength) {
            uint8_t value[4];
            if (!reader.Read(e.valueStart, value, 4))
                return WholeFileVerdict::ReadFailed;
            const uint32_t groupLength = Read32(value, false);
            if (groupLength > size - valueEnd)
                return WholeFileVerdict::MetaGroupUnreadable;
            groupEnd = valueEnd + groupLength;
        } else if (e.tag == kTransferSyntaxUid) {
            std::string uid(e.length < kMaxUidBytes ? e.length : kMaxUidBytes, '\0');
            if (!reader.Read(e.valueStart, uid.data(), uid.size()))
                return WholeFileVerdict::ReadFailed;
            // An empty value names no transfer syntax.
            if (!StripPadding(uid).empty())
                meta.transferSyntax = std::string(StripPadding(uid));
        }
        offset = valueEnd;
    }
    meta.dataSetStart = offset;
    return meta.transferSyntax ? WholeFileVerdict::Whole : WholeFileVerdict::NoTransferSyntax;
}

}  // namespace dicom_detail
