#include "dicom/DicomDirectory.h"
#include "dicom/DataSetWalker.h"
#include "dicom/MetaGroup.h"
#include <algorithm>

using namespace dicom_detail;

namespace {

constexpr uint32_t kFirstRootRecord = 0x00041200;
constexpr uint32_t kLastRootRecord = 0x00041202;
constexpr uint32_t kDirectoryRecordSequence = 0x00041220;
constexpr uint32_t kNextRecord = 0x00041400;
constexpr uint32_t kLowerLevelRecords = 0x00041420;
constexpr uint32_t kRecordType = 0x00041430;
constexpr uint32_t kReferencedFileId = 0x00041500;
constexpr uint32_t kReferencedMrdr = 0x00041504;
constexpr uint32_t kReferencedTransferSyntax = 0x00041512;

constexpr std::string_view kExplicitLittleUid = "1.2.840.10008.1.2.1";
constexpr size_t kMaxUidLength = 64;

bool IsOffsetTag(uint32_t tag)
{
    return tag == kFirstRootRecord || tag == kLastRootRecord || tag == kNextRecord || tag == kLowerLevelRecords ||
           tag == kReferencedMrdr;
}

bool IsUid(std::string_view uid)
{
    return !uid.empty() && uid.size() <= kMaxUidLength && uid.find_first_not_of("0123456789.") == std::string_view::npos;
}

// The components between backslashes, each without its padding; none for an
// empty value.
std::vector<std::string> SplitFileId(std::string_view value)
{
    std::vector<std::string> components;
    if (value.empty())
        return components;
    for (size_t start = 0;;) {
        const size_t backslash = value.find('\\', start);
        components.emplace_back(StripPadding(value.substr(start, backslash - start)));
        if (backslash == std::string_view::npos)
            return components;
        start = backslash + 1;
    }
}

// A directory record as the walk reads it.
struct Record {
    DirectoryFileRecord fields;
    bool namesFile = false;
    std::optional<uint64_t> syntaxValue;
};

// Notes, as the walk over a DICOMDIR meets them, the records of its Directory
// Record Sequence, the offsets, and the defined lengths that a changed value
// in a record would change.
class DirectoryLayout : public WalkObserver {
public:
    explicit DirectoryLayout(std::string_view bytes) : m_bytes(bytes) {}

    void Element(const ElementHeader& e, uint64_t, int depth) override
    {
        if (depth == 0) {
            CloseRecord();
            m_inRecordSequence = e.tag == kDirectoryRecordSequence;
            if (m_inRecordSequence)
                NoteRecordSequence(e);
        } else if (depth == 1 && m_inRecordSequence && m_record) {
            NoteRecordElement(e);
        } else {
            return;
        }
        if (IsOffsetTag(e.tag))
            NoteOffset(e);
    }

    void Item(const ElementHeader& item, uint64_t offset, int depth) override
    {
        if (depth != 1 || !m_inRecordSequence)
            return;
        CloseRecord();
        m_recordStarts.push_back(offset);
        m_record.emplace();
        NoteDefinedLength(item);
    }

    // After a walk that went whole to the end of the file.
    bool CanBeWrittenAgain()
    {
        CloseRecord();
        return m_sawRecordSequence && !m_refused && OffsetsPointAtRecords();
    }

    std::vector<DirectoryFileRecord> fileRecords;
    std::vector<std::optional<uint64_t>> syntaxValues;
    std::vector<uint64_t> offsetValues;
    std::vector<uint64_t> definedLengthValues;

private:
    // The walk checks a value's length against its place after telling it.
    std::string_view Value(const ElementHeader& e) const { return m_bytes.substr(e.valueStart, e.length); }

    void NoteRecordSequence(const ElementHeader& e)
    {
        m_sawRecordSequence = true;
        if (!HasVr(e, "SQ"))
            m_refused = true;
        NoteDefinedLength(e);
    }

    void NoteDefinedLength(const ElementHeader& e)
    {
        if (e.length != kUndefinedLength)
            definedLengthValues.push_back(e.valueStart);
    }

    void NoteRecordElement(const ElementHeader& e)
    {
        switch (e.tag) {
        case kRecordType:
            m_record->fields.recordType = std::string(StripPadding(Value(e)));
            break;
        case kReferencedFileId:
            m_record->fields.fileId = SplitFileId(StripPadding(Value(e)));
            m_record->namesFile = true;
            break;
        case kReferencedTransferSyntax:
            // A new value's length is written in the short form of a UI header.
            if (!HasVr(e, "UI"))
                m_refused = true;
            m_record->syntaxValue = e.valueStart;
            m_record->fields.transferSyntax = std::string(StripPadding(Value(e)));
            break;
        default:
            break;
        }
    }

    // An empty offset names no record and is left as it is.
    void NoteOffset(const ElementHeader& e)
    {
        if (!HasVr(e, "UL") || (e.length != 0 && e.length != 4))
            m_refused = true;
        else if (e.length == 4)
            offsetValues.push_back(e.valueStart);
    }

    void CloseRecord()
    {
        if (m_record && m_record->namesFile) {
            fileRecords.push_back(std::move(m_record->fields));
            syntaxValues.push_back(m_record->syntaxValue);
        }
        m_record.reset();
    }

    bool OffsetsPointAtRecords() const
    {
        for (uint64_t value : offsetValues) {
            const uint32_t target = Read32(reinterpret_cast<const uint8_t*>(m_bytes.data() + value), false);
            if (target != 0 && !std::binary_search(m_recordStarts.begin(), m_recordStarts.end(), target))
                return false;
        }
        return true;
    }

    std::string_view m_bytes;
    bool m_inRecordSequence = false;
    bool m_sawRecordSequence = false;
    bool m_refused = false;
    std::optional<Record> m_record;
    std::vector<uint64_t> m_recordStarts;  // where each record's item starts, ascending
};

// Where a place in the file read lands in the file written: each changed
// value moves what follows it by the change in its length.
class Moves {
public:
    void Add(uint64_t valueStart, int64_t change)
    {
        m_valueStarts.push_back(valueStart);
        m_total += change;
        m_totals.push_back(m_total);
    }

    uint64_t Moved(uint64_t at) const
    {
        const auto after = std::lower_bound(m_valueStarts.begin(), m_valueStarts.end(), at);
        const int64_t change = after == m_valueStarts.begin() ? 0 : m_totals[after - m_valueStarts.begin() - 1];
        return static_cast<uint64_t>(static_cast<int64_t>(at) + change);
    }

private:
    std::vector<uint64_t> m_valueStarts;  // ascending
    std::vector<int64_t> m_totals;        // the change up to and with each value
    int64_t m_total = 0;
};

void AppendLittle16(std::string& out, size_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}

void WriteLittle32(std::string& out, uint64_t at, uint64_t value)
{
    for (int i = 0; i < 4; ++i)
        out[static_cast<size_t>(at) + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

}  // namespace

std::optional<DicomDirectory> DicomDirectory::Read(ByteSource& source)
{
    const uint64_t size = source.Size();
    if (size > kMaxSize)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(size), '\0');
    if (size != 0 && !source.Read(0, &bytes[0], bytes.size()))
        return std::nullopt;
    MemoryByteSource memory(bytes);
    WindowedReader reader(memory);
    MetaGroup meta;
    if (ReadMetaGroup(reader, meta) != WholeFileVerdict::Whole || *meta.transferSyntax != kExplicitLittleUid)
        return std::nullopt;
    DirectoryLayout layout(bytes);
    DataSetWalker walker(reader, nullptr);
    walker.SetObserver(&layout);
    uint64_t offset = meta.dataSetStart;
    if (walker.WalkDataSet(offset, size, kExplicitLittle, false, true, 0) != WholeFileVerdict::Whole ||
        !layout.CanBeWrittenAgain())
        return std::nullopt;

    DicomDirectory directory;
    directory.m_fileRecords = std::move(layout.fileRecords);
    directory.m_syntaxValues = std::move(layout.syntaxValues);
    directory.m_newSyntaxes.resize(directory.m_fileRecords.size());
    directory.m_offsetValues = std::move(layout.offsetValues);
    directory.m_definedLengthValues = std::move(layout.definedLengthValues);
    directory.m_bytes = std::move(bytes);
    return directory;
}

bool DicomDirectory::SetTransferSyntax(size_t fileRecord, std::string_view uid)
{
    if (fileRecord >= m_fileRecords.size() || !m_syntaxValues[fileRecord] || !IsUid(uid))
        return false;
    std::string value(uid);
    if (value.size() % 2 != 0)
        value += '\0';
    m_newSyntaxes[fileRecord] = std::move(value);
    m_fileRecords[fileRecord].transferSyntax = std::string(uid);
    return true;
}

// A file of at most kMaxSize in which every changed value, header and all at
// least 8 bytes, grows by at most 64 bytes stays under 4 GiB: every offset and
// length still fits in 32 bits.
std::string DicomDirectory::Bytes() const
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(m_bytes.data());
    std::string out;
    out.reserve(m_bytes.size());
    Moves moves;
    size_t copied = 0;
    for (size_t i = 0; i < m_newSyntaxes.size(); ++i) {
        if (!m_newSyntaxes[i])
            continue;
        const size_t value = static_cast<size_t>(*m_syntaxValues[i]);
        const uint16_t length = Read16(bytes + value - 2, false);
        const std::string& uid = *m_newSyntaxes[i];
        out.append(m_bytes, copied, value - 2 - copied);
        AppendLittle16(out, uid.size());
        out += uid;
        copied = value + length;
        moves.Add(value, static_cast<int64_t>(uid.size()) - length);
    }
    out.append(m_bytes, copied, std::string::npos);

    for (uint64_t value : m_definedLengthValues) {
        const uint32_t length = Read32(bytes + value - 4, false);
        WriteLittle32(out, moves.Moved(value - 4), moves.Moved(value + length) - moves.Moved(value));
    }
    for (uint64_t value : m_offsetValues) {
        const uint32_t target = Read32(bytes + value, false);
        if (target != 0)
            WriteLittle32(out, moves.Moved(value), moves.Moved(target));
    }
    return out;
}
