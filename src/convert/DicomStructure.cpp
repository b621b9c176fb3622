#include "convert/DicomStructure.h"
#include <algorithm>
#include <cstring>
#include <vector>

bool MemoryByteSource::Read(uint64_t offset, void* into, size_t n)
{
    if (offset > m_bytes.size() || n > m_bytes.size() - offset)
        return false;
    if (n != 0)
        std::memcpy(into, m_bytes.data() + offset, n);
    return true;
}

namespace {

constexpr uint64_t kPreambleSize = 128;
constexpr uint64_t kDataStart = kPreambleSize + 4;  // after "DICM"

constexpr uint32_t kUndefinedLength = 0xFFFFFFFF;
constexpr uint32_t kGroupLength = 0x00020000;
constexpr uint32_t kTransferSyntaxUid = 0x00020010;
constexpr uint32_t kItem = 0xFFFEE000;
constexpr uint32_t kItemDelimiter = 0xFFFEE00D;
constexpr uint32_t kSequenceDelimiter = 0xFFFEE0DD;
constexpr uint32_t kPixelData = 0x7FE00010;
constexpr uint32_t kFloatPixelData = 0x7FE00008;
constexpr uint32_t kDoubleFloatPixelData = 0x7FE00009;
constexpr uint32_t kSamplesPerPixel = 0x00280002;
constexpr uint32_t kNumberOfFrames = 0x00280008;
constexpr uint32_t kRows = 0x00280010;
constexpr uint32_t kColumns = 0x00280011;
constexpr uint32_t kBitsAllocated = 0x00280100;

// A transfer syntax UID holds at most 64 characters; a longer meta value is
// read as far as this and then no longer matches any known syntax.
constexpr uint32_t kMaxUidBytes = 256;
// Number of Frames is an integer string of at most 12 characters; a little
// slack for padding.
constexpr uint32_t kMaxNumberOfFramesBytes = 64;
constexpr uint64_t kMaxIntegerString = 2147483647;

struct Encoding {
    bool explicitVr;
    bool bigEndian;
};
constexpr Encoding kExplicitLittle{ true, false };
constexpr Encoding kImplicitLittle{ false, false };
constexpr Encoding kExplicitBig{ true, true };

uint16_t Read16(const uint8_t* p, bool bigEndian)
{
    return bigEndian ? static_cast<uint16_t>(p[0] << 8 | p[1]) : static_cast<uint16_t>(p[1] << 8 | p[0]);
}

uint32_t Read32(const uint8_t* p, bool bigEndian)
{
    uint32_t b0 = p[0], b1 = p[1], b2 = p[2], b3 = p[3];
    return bigEndian ? (b0 << 24 | b1 << 16 | b2 << 8 | b3) : (b3 << 24 | b2 << 16 | b1 << 8 | b0);
}

bool IsKnownVr(char a, char b)
{
    static const char kVrs[][3] = { "AE", "AS", "AT", "CS", "DA", "DS", "DT", "FD", "FL", "IS", "LO",
                                    "LT", "OB", "OD", "OF", "OL", "OV", "OW", "PN", "SH", "SL", "SQ",
                                    "SS", "ST", "SV", "TM", "UC", "UI", "UL", "UN", "UR", "US", "UT", "UV" };
    for (const char* vr : kVrs) {
        if (vr[0] == a && vr[1] == b)
            return true;
    }
    return false;
}

// VRs whose explicit header has 2 reserved bytes and a 4-byte length.
bool HasLongLength(char a, char b)
{
    static const char kLong[][3] = { "OB", "OD", "OF", "OL", "OV", "OW", "SQ", "SV", "UC", "UN", "UR", "UT", "UV" };
    for (const char* vr : kLong) {
        if (vr[0] == a && vr[1] == b)
            return true;
    }
    return false;
}

std::string_view StripPadding(std::string_view text)
{
    while (!text.empty() && (text.back() == '\0' || text.back() == ' '))
        text.remove_suffix(1);
    return text;
}

// A positive integer string, with the spaces and sign an IS value may carry;
// 0 when it is anything else.
uint64_t ParseFrameCount(std::string_view text)
{
    text = StripPadding(text);
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return 0;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > kMaxIntegerString)
            return 0;
    }
    return value;
}

// Serves small reads from a window of the source, so that walking many short
// element headers costs a few reads of the source.
class WindowedReader {
public:
    explicit WindowedReader(ByteSource& source) : m_source(source), m_size(source.Size()) {}

    uint64_t Size() const { return m_size; }

    // The caller has checked that the bytes lie within Size().
    bool Read(uint64_t offset, void* into, size_t n)
    {
        if (n == 0)
            return true;
        if (offset >= m_windowStart && offset - m_windowStart <= m_window.size() &&
            n <= m_window.size() - (offset - m_windowStart)) {
            std::memcpy(into, m_window.data() + (offset - m_windowStart), n);
            return true;
        }
        if (n > kWindowSize)
            return m_source.Read(offset, into, n);
        uint64_t available = m_size - offset;
        m_window.resize(static_cast<size_t>(available < kWindowSize ? available : kWindowSize));
        m_windowStart = offset;
        if (!m_source.Read(offset, m_window.data(), m_window.size())) {
            m_window.clear();
            return false;
        }
        std::memcpy(into, m_window.data(), n);
        return true;
    }

private:
    static constexpr size_t kWindowSize = 4096;
    ByteSource& m_source;
    uint64_t m_size;
    std::vector<uint8_t> m_window;
    uint64_t m_windowStart = 0;
};

struct ElementHeader {
    uint32_t tag = 0;
    char vr[2] = { 0, 0 };  // zero when the encoding carries none
    uint32_t length = 0;
    uint64_t valueStart = 0;
    bool unknownShortVr = false;  // a non-standard VR read with a 2-byte length
};

// How the reader takes a VR it does not know: a check refuses it; a header is
// read on as dcmdjpeg reads it, with a 4-byte length after two reserved bytes
// when the VR is two capital letters, and a 2-byte length otherwise.
enum class UnknownVr { Refuse, ReadOn };

bool IsCapital(char c)
{
    return c >= 'A' && c <= 'Z';
}

bool IsDelimiterGroup(uint32_t tag)
{
    return (tag >> 16) == 0xFFFE;
}

// Pixel Data, Float Pixel Data or Double Float Pixel Data.
bool IsPixelDataTag(uint32_t tag)
{
    return tag == kPixelData || tag == kFloatPixelData || tag == kDoubleFloatPixelData;
}

bool HasVr(const ElementHeader& e, const char* vr)
{
    return e.vr[0] == vr[0] && e.vr[1] == vr[1];
}

// Reads the header at offset; items and delimiters carry no VR in any
// encoding. Running past end is a cut when end is the end of the file, and a
// malformed element when end is that of the item holding it.
WholeFileVerdict ReadElementHeader(WindowedReader& reader, uint64_t offset, uint64_t end, Encoding encoding,
                                   ElementHeader& e, UnknownVr unknownVr = UnknownVr::Refuse)
{
    const WholeFileVerdict overrun =
        end == reader.Size() ? WholeFileVerdict::ElementCut : WholeFileVerdict::MalformedElement;
    if (end - offset < 8)
        return overrun;
    uint8_t bytes[12];
    if (!reader.Read(offset, bytes, 8))
        return WholeFileVerdict::ReadFailed;
    e = ElementHeader();
    e.tag = static_cast<uint32_t>(Read16(bytes, encoding.bigEndian)) << 16 | Read16(bytes + 2, encoding.bigEndian);
    if (IsDelimiterGroup(e.tag) || !encoding.explicitVr) {
        e.length = Read32(bytes + 4, encoding.bigEndian);
        e.valueStart = offset + 8;
        return WholeFileVerdict::Whole;
    }
    e.vr[0] = static_cast<char>(bytes[4]);
    e.vr[1] = static_cast<char>(bytes[5]);
    bool longLength = HasLongLength(e.vr[0], e.vr[1]);
    if (!IsKnownVr(e.vr[0], e.vr[1])) {
        if (unknownVr == UnknownVr::Refuse)
            return WholeFileVerdict::MalformedElement;
        longLength = IsCapital(e.vr[0]) && IsCapital(e.vr[1]);
        e.unknownShortVr = !longLength;
    }
    if (!longLength) {
        e.length = Read16(bytes + 6, encoding.bigEndian);
        e.valueStart = offset + 8;
        return WholeFileVerdict::Whole;
    }
    if (end - offset < 12)
        return overrun;
    if (!reader.Read(offset + 8, bytes + 8, 4))
        return WholeFileVerdict::ReadFailed;
    e.length = Read32(bytes + 8, encoding.bigEndian);
    e.valueStart = offset + 12;
    return WholeFileVerdict::Whole;
}

struct MetaGroup {
    std::optional<std::string> transferSyntax;
    uint64_t dataSetStart = 0;
};

// The meta group is explicit VR little endian in every file. Its end is given
// by the group length (0002,0000) when that comes first and is trusted;
// otherwise the group runs while the tags are in group 0002.
WholeFileVerdict ReadMetaGroup(WindowedReader& reader, MetaGroup& meta, bool trustGroupLength = true)
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

// The encoding of the data set, when the reader knows it. Every encapsulated
// transfer syntax is explicit VR little endian; a deflated data set cannot be
// walked, and an unknown one could be encoded any way.
std::optional<Encoding> DataSetEncoding(std::string_view uid, TransferSyntaxKind kind)
{
    if (uid == "1.2.840.10008.1.2")
        return kImplicitLittle;
    if (uid == "1.2.840.10008.1.2.2")
        return kExplicitBig;
    switch (kind) {
    case TransferSyntaxKind::Uncompressed:
    case TransferSyntaxKind::Jpeg:
    case TransferSyntaxKind::JpegOther:
    case TransferSyntaxKind::JpegLs:
    case TransferSyntaxKind::Jpeg2000:
    case TransferSyntaxKind::Rle:
        return kExplicitLittle;
    case TransferSyntaxKind::Deflate:
    case TransferSyntaxKind::Other:
        break;
    }
    return std::nullopt;
}

// Walks a data set's elements and the sequences they hold. Checking a file
// whole walks everything and stops at the first fault; reading a header
// records the image attributes and stops at the top-level Pixel Data, or,
// when it walks past the pixel data, goes on to the end of the file,
// recording each encapsulated pixel data element it meets.
//
// Sequences: in explicit VR, an SQ element, or a UN element of undefined
// length, whose items are then read as implicit VR little endian (how a
// sequence of unknown VR is written); in implicit VR, any element of
// undefined length except Pixel Data. Pixel Data of undefined length is
// encapsulated: a sequence of fragment items with defined lengths.
class DataSetWalker {
public:
    // With strictOrder, a header's walk also refuses tags that do not ascend,
    // as a check does. With walkPastPixelData, a header's walk also enters
    // sequences of defined length (an icon image's pixel data is in one).
    DataSetWalker(WindowedReader& reader, DicomHeader* header, bool strictOrder = false,
                  bool walkPastPixelData = false)
        : m_reader(reader), m_header(header), m_strictOrder(strictOrder || header == nullptr),
          m_walkPastPixelData(walkPastPixelData && header != nullptr)
    {
    }

    bool SawPixelData() const { return m_sawPixelData; }
    // The image attributes of the top-level data set.
    const ImageAttributes& TopLevelImage() const { return m_topLevelImage; }

    // Walks from offset to end, or, for an item of undefined length, to the
    // item delimiter; offset is left after what was walked.
    WholeFileVerdict WalkDataSet(uint64_t& offset, uint64_t end, Encoding encoding, bool undefinedItem,
                                 bool topLevel, int depth)
    {
        ImageAttributes itemImage;
        ImageAttributes& image = topLevel ? m_topLevelImage : itemImage;
        uint32_t previousTag = 0;
        bool first = true;
        for (;;) {
            if (offset == end)
                return undefinedItem ? WholeFileVerdict::UnclosedSequence : WholeFileVerdict::Whole;
            ElementHeader e;
            WholeFileVerdict verdict = ReadElementHeader(m_reader, offset, end, encoding, e, VrHandling());
            if (verdict != WholeFileVerdict::Whole)
                return verdict;
            if (undefinedItem && e.tag == kItemDelimiter) {
                offset = e.valueStart;
                return e.length == 0 ? WholeFileVerdict::Whole : WholeFileVerdict::MalformedElement;
            }
            if (IsDelimiterGroup(e.tag))
                return WholeFileVerdict::MalformedElement;
            if (m_strictOrder && !first && e.tag <= previousTag)
                return WholeFileVerdict::OutOfOrder;
            previousTag = e.tag;
            first = false;
            if (!Checking())
                CountRewriteGrowth(e, encoding);
            if (topLevel && IsPixelDataTag(e.tag) && !m_sawPixelData) {
                m_sawPixelData = true;
                if (!Checking()) {
                    m_header->pixelDataOffset = offset;
                    if (e.length != kUndefinedLength && e.length <= end - e.valueStart)
                        m_header->pixelDataEnd = e.valueStart + e.length;
                    if (!m_walkPastPixelData)
                        return WholeFileVerdict::Whole;
                }
            }
            if (!Checking() && e.length != kUndefinedLength && e.length <= end - e.valueStart) {
                verdict = RecordAttribute(e, encoding, image);
                if (verdict != WholeFileVerdict::Whole)
                    return verdict;
            }
            const uint64_t elementStart = offset;
            verdict = WalkValue(e, offset, end, encoding, depth);
            if (verdict == WholeFileVerdict::EncapsulatedPixelData && !Checking())
                verdict = WalkEncapsulated(elementStart, offset, end, encoding, topLevel, image);
            if (verdict != WholeFileVerdict::Whole)
                return verdict;
        }
    }

private:
    bool Checking() const { return m_header == nullptr; }
    UnknownVr VrHandling() const { return Checking() ? UnknownVr::Refuse : UnknownVr::ReadOn; }

    // What writing the element again in explicit VR little endian, with an
    // even length, may add (see DicomHeader::rewriteGrowth).
    void CountRewriteGrowth(const ElementHeader& e, Encoding encoding)
    {
        if (!encoding.explicitVr || e.unknownShortVr)
            m_header->rewriteGrowth += 4;
        if (e.length != kUndefinedLength && e.length % 2 != 0)
            m_header->rewriteGrowth += 1;
    }

    // Leaves encapsulated Pixel Data to the caller: EncapsulatedPixelData.
    WholeFileVerdict WalkValue(const ElementHeader& e, uint64_t& offset, uint64_t end, Encoding encoding, int depth)
    {
        if (e.length != kUndefinedLength) {
            if (e.length > end - e.valueStart)
                return end == m_reader.Size() ? WholeFileVerdict::ElementCut : WholeFileVerdict::MalformedElement;
            const uint64_t valueEnd = e.valueStart + e.length;
            offset = e.valueStart;
            if (encoding.explicitVr && HasVr(e, "SQ") && (Checking() || m_walkPastPixelData)) {
                WholeFileVerdict verdict = WalkItems(offset, valueEnd, encoding, false, depth + 1);
                // A header only looks inside for pixel data; a sequence it
                // cannot read is passed by its length.
                if (verdict != WholeFileVerdict::Whole && (Checking() || verdict == WholeFileVerdict::ReadFailed))
                    return verdict;
            }
            offset = valueEnd;
            return WholeFileVerdict::Whole;
        }
        offset = e.valueStart;
        if (e.tag == kPixelData)
            return WholeFileVerdict::EncapsulatedPixelData;
        if (!encoding.explicitVr || HasVr(e, "SQ"))
            return WalkItems(offset, end, encoding, true, depth + 1);
        if (HasVr(e, "UN"))
            return WalkItems(offset, end, kImplicitLittle, true, depth + 1);
        return WholeFileVerdict::MalformedElement;
    }

    // The items of a sequence, up to end or, for a sequence of undefined
    // length, to the sequence delimiter.
    WholeFileVerdict WalkItems(uint64_t& offset, uint64_t end, Encoding encoding, bool undefinedSequence, int depth)
    {
        if (depth > kMaxSequenceNesting)
            return WholeFileVerdict::TooDeep;
        for (;;) {
            if (offset == end)
                return undefinedSequence ? WholeFileVerdict::UnclosedSequence : WholeFileVerdict::Whole;
            ElementHeader e;
            WholeFileVerdict verdict = ReadElementHeader(m_reader, offset, end, encoding, e);
            if (verdict != WholeFileVerdict::Whole)
                return verdict;
            if (undefinedSequence && e.tag == kSequenceDelimiter) {
                offset = e.valueStart;
                return e.length == 0 ? WholeFileVerdict::Whole : WholeFileVerdict::MalformedElement;
            }
            if (e.tag != kItem)
                return WholeFileVerdict::MalformedElement;
            offset = e.valueStart;
            if (e.length == kUndefinedLength) {
                verdict = WalkDataSet(offset, end, encoding, true, false, depth);
            } else {
                if (e.length > end - e.valueStart)
                    return end == m_reader.Size() ? WholeFileVerdict::ElementCut : WholeFileVerdict::MalformedElement;
                verdict = WalkDataSet(offset, e.valueStart + e.length, encoding, false, false, depth);
            }
            if (verdict != WholeFileVerdict::Whole)
                return verdict;
        }
    }

    // Encapsulated pixel data met by a header's walk: its fragments are
    // walked and what dcmdjpeg needs to decode them recorded, as far as
    // they could be walked.
    WholeFileVerdict WalkEncapsulated(uint64_t elementStart, uint64_t& offset, uint64_t end, Encoding encoding,
                                      bool topLevel, const ImageAttributes& image)
    {
        EncapsulatedPixelData pixels;
        pixels.begin = elementStart;
        pixels.topLevel = topLevel;
        pixels.image = image;
        const WholeFileVerdict verdict = WalkFragments(offset, end, encoding, &pixels);
        pixels.end = offset;
        pixels.closed = verdict == WholeFileVerdict::Whole;
        pixels.cutShort = verdict == WholeFileVerdict::ElementCut ||
                          (verdict == WholeFileVerdict::UnclosedSequence && end == m_reader.Size());
        m_header->encapsulated.push_back(pixels);
        return verdict;
    }

    // Encapsulated pixel data: items of defined length, the first the offset
    // table, up to the sequence delimiter. With pixels, counts the fragments
    // after the offset table and reads the first one's frame header.
    WholeFileVerdict WalkFragments(uint64_t& offset, uint64_t end, Encoding encoding,
                                   EncapsulatedPixelData* pixels = nullptr)
    {
        bool offsetTable = true;
        for (;;) {
            if (offset == end)
                return WholeFileVerdict::UnclosedSequence;
            ElementHeader e;
            WholeFileVerdict verdict = ReadElementHeader(m_reader, offset, end, encoding, e);
            if (verdict != WholeFileVerdict::Whole)
                return verdict;
            if (e.tag == kSequenceDelimiter) {
                offset = e.valueStart;
                return WholeFileVerdict::Whole;
            }
            if (e.tag != kItem || e.length == kUndefinedLength)
                return WholeFileVerdict::MalformedElement;
            if (e.length > end - e.valueStart)
                return end == m_reader.Size() ? WholeFileVerdict::ElementCut : WholeFileVerdict::MalformedElement;
            if (pixels && !offsetTable) {
                verdict = NoteFragment(e, *pixels);
                if (verdict != WholeFileVerdict::Whole)
                    return verdict;
            }
            offsetTable = false;
            offset = e.valueStart + e.length;
        }
    }

    WholeFileVerdict NoteFragment(const ElementHeader& fragment, EncapsulatedPixelData& pixels)
    {
        ++pixels.fragments;
        uint8_t marker[2];
        if (fragment.length >= 2) {
            if (!m_reader.Read(fragment.valueStart, marker, 2))
                return WholeFileVerdict::ReadFailed;
            if (marker[0] == 0xFF && marker[1] == 0xD8)
                ++pixels.framesStarted;
        }
        if (pixels.fragments == 1)
            return ReadFirstFrameHeader(fragment, pixels.firstFrame);
        return WholeFileVerdict::Whole;
    }

    // The frame header is near the start of a stream, after its tables; a
    // longer look is taken only when a short one ends before it.
    WholeFileVerdict ReadFirstFrameHeader(const ElementHeader& fragment, std::optional<JpegFrameHeader>& frame)
    {
        for (uint64_t look : { uint64_t{ 4096 }, uint64_t{ 65536 } }) {
            const uint64_t length = std::min<uint64_t>(look, fragment.length);
            std::string bytes(static_cast<size_t>(length), '\0');
            if (length != 0 && !m_reader.Read(fragment.valueStart, &bytes[0], bytes.size()))
                return WholeFileVerdict::ReadFailed;
            JpegFrameHeader found;
            const JpegScan scan = FindJpegFrameHeader(bytes, length == fragment.length, found);
            if (scan == JpegScan::Found)
                frame = found;
            if (scan != JpegScan::NeedMoreBytes)
                break;
        }
        return WholeFileVerdict::Whole;
    }

    WholeFileVerdict RecordAttribute(const ElementHeader& e, Encoding encoding, ImageAttributes& image)
    {
        std::optional<uint64_t>* target = nullptr;
        switch (e.tag) {
        case kRows: target = &image.rows; break;
        case kColumns: target = &image.columns; break;
        case kSamplesPerPixel: target = &image.samplesPerPixel; break;
        case kBitsAllocated: target = &image.bitsAllocated; break;
        case kNumberOfFrames: target = &image.numberOfFrames; break;
        default: return WholeFileVerdict::Whole;
        }
        if (e.tag == kNumberOfFrames) {
            if (e.length > kMaxNumberOfFramesBytes) {
                *target = 0;
                return WholeFileVerdict::Whole;
            }
            char text[kMaxNumberOfFramesBytes];
            if (!m_reader.Read(e.valueStart, text, e.length))
                return WholeFileVerdict::ReadFailed;
            *target = ParseFrameCount(std::string_view(text, e.length));
            return WholeFileVerdict::Whole;
        }
        if (e.length != 2) {
            *target = 0;
            return WholeFileVerdict::Whole;
        }
        uint8_t value[2];
        if (!m_reader.Read(e.valueStart, value, 2))
            return WholeFileVerdict::ReadFailed;
        *target = Read16(value, encoding.bigEndian);
        return WholeFileVerdict::Whole;
    }

    WindowedReader& m_reader;
    DicomHeader* m_header;  // null when checking a file whole
    bool m_strictOrder;
    bool m_walkPastPixelData;
    bool m_sawPixelData = false;
    ImageAttributes m_topLevelImage;
};

}  // namespace

WholeFileVerdict CheckWholeUncompressed(ByteSource& source)
{
    WindowedReader reader(source);
    MetaGroup meta;
    WholeFileVerdict verdict = ReadMetaGroup(reader, meta);
    if (verdict != WholeFileVerdict::Whole)
        return verdict;
    const TransferSyntaxKind kind = ClassifyTransferSyntax(*meta.transferSyntax);
    if (kind != TransferSyntaxKind::Uncompressed)
        return WholeFileVerdict::NotUncompressed;
    DataSetWalker walker(reader, nullptr);
    uint64_t offset = meta.dataSetStart;
    verdict = walker.WalkDataSet(offset, reader.Size(), *DataSetEncoding(*meta.transferSyntax, kind), false, true, 0);
    if (verdict != WholeFileVerdict::Whole)
        return verdict;
    return walker.SawPixelData() ? WholeFileVerdict::Whole : WholeFileVerdict::NoPixelData;
}

const char* WholeFileVerdictName(WholeFileVerdict verdict)
{
    switch (verdict) {
    case WholeFileVerdict::Whole: return "whole";
    case WholeFileVerdict::NoPreamble: return "no preamble";
    case WholeFileVerdict::NoDicmPrefix: return "no DICM prefix";
    case WholeFileVerdict::MetaGroupUnreadable: return "meta group unreadable";
    case WholeFileVerdict::NoTransferSyntax: return "no transfer syntax";
    case WholeFileVerdict::NotUncompressed: return "not uncompressed";
    case WholeFileVerdict::ElementCut: return "element cut";
    case WholeFileVerdict::UnclosedSequence: return "unclosed sequence";
    case WholeFileVerdict::MalformedElement: return "malformed element";
    case WholeFileVerdict::OutOfOrder: return "out of order";
    case WholeFileVerdict::TooDeep: return "too deep";
    case WholeFileVerdict::EncapsulatedPixelData: return "encapsulated pixel data";
    case WholeFileVerdict::NoPixelData: return "no pixel data";
    case WholeFileVerdict::ReadFailed: return "read failed";
    }
    return "?";
}

TransferSyntaxKind ClassifyTransferSyntax(std::string_view uid)
{
    uid = StripPadding(uid);
    constexpr std::string_view kRoot = "1.2.840.10008.1.2";
    if (uid.substr(0, kRoot.size()) != kRoot)
        return TransferSyntaxKind::Other;
    const std::string_view rest = uid.substr(kRoot.size());
    if (rest.empty() || rest == ".1" || rest == ".2")
        return TransferSyntaxKind::Uncompressed;
    if (rest == ".1.99")
        return TransferSyntaxKind::Deflate;
    if (rest == ".5")
        return TransferSyntaxKind::Rle;
    constexpr std::string_view kImage = ".4.";
    if (rest.substr(0, kImage.size()) != kImage)
        return TransferSyntaxKind::Other;
    const std::string_view process = rest.substr(kImage.size());
    for (std::string_view decoded : { "50", "51", "53", "55", "57", "70" }) {
        if (process == decoded)
            return TransferSyntaxKind::Jpeg;
    }
    for (std::string_view retired : { "52", "54", "56", "58", "59", "60", "61", "62", "63", "64", "65", "66" }) {
        if (process == retired)
            return TransferSyntaxKind::JpegOther;
    }
    if (process == "80" || process == "81")
        return TransferSyntaxKind::JpegLs;
    for (std::string_view j2k : { "90", "91", "92", "93", "201", "202", "203" }) {
        if (process == j2k)
            return TransferSyntaxKind::Jpeg2000;
    }
    return TransferSyntaxKind::Other;
}

const char* TransferSyntaxKindName(TransferSyntaxKind kind)
{
    switch (kind) {
    case TransferSyntaxKind::Uncompressed: return "uncompressed";
    case TransferSyntaxKind::Jpeg: return "JPEG";
    case TransferSyntaxKind::JpegOther: return "JPEG (not decoded)";
    case TransferSyntaxKind::JpegLs: return "JPEG-LS";
    case TransferSyntaxKind::Jpeg2000: return "JPEG 2000";
    case TransferSyntaxKind::Rle: return "RLE";
    case TransferSyntaxKind::Deflate: return "deflate";
    case TransferSyntaxKind::Other: return "other";
    }
    return "?";
}

namespace {

// Walks the data set from offset, recording its image attributes and whether
// it holds pixel data; with walkPastPixelData, on to the end of the file.
WholeFileVerdict ReadDataSetHeader(WindowedReader& reader, uint64_t offset, Encoding encoding, DicomHeader& header,
                                   bool strictOrder, bool walkPastPixelData = false)
{
    DataSetWalker walker(reader, &header, strictOrder, walkPastPixelData);
    const WholeFileVerdict verdict = walker.WalkDataSet(offset, reader.Size(), encoding, false, true, 0);
    const ImageAttributes& image = walker.TopLevelImage();
    header.rows = image.rows;
    header.columns = image.columns;
    header.numberOfFrames = image.numberOfFrames;
    header.samplesPerPixel = image.samplesPerPixel;
    header.bitsAllocated = image.bitsAllocated;
    header.readFailed = verdict == WholeFileVerdict::ReadFailed;
    if (walker.SawPixelData())
        header.hasPixelData = true;
    else if (verdict == WholeFileVerdict::Whole)
        header.hasPixelData = false;
    return verdict;
}

// A data set alone, from the first byte. Its first element tells the
// encoding, as DICOM toolkits guess it: a VR after the tag means explicit VR.
// It counts only when its first group is a standard one (even, past the
// command group) and its elements ascend and walk whole.
void ReadBareDataSet(WindowedReader& reader, DicomHeader& header)
{
    uint8_t first[6];
    if (reader.Size() < kSmallestDicomFile || !reader.Read(0, first, sizeof(first)))
        return;
    const uint16_t group = Read16(first, false);
    if (group < 0x0002 || group % 2 != 0)
        return;
    const bool explicitVr = IsKnownVr(static_cast<char>(first[4]), static_cast<char>(first[5]));
    DicomHeader bare;
    if (ReadDataSetHeader(reader, 0, explicitVr ? kExplicitLittle : kImplicitLittle, bare, true) !=
        WholeFileVerdict::Whole) {
        header.readFailed = bare.readFailed;
        return;
    }
    header = bare;
    header.isDicom = true;
    header.bareDataSet = true;
    header.transferSyntax = explicitVr ? "1.2.840.10008.1.2.1" : "1.2.840.10008.1.2";
    header.kind = TransferSyntaxKind::Uncompressed;
}

}  // namespace

DicomHeader ReadDicomHeader(ByteSource& source)
{
    DicomHeader header;
    WindowedReader reader(source);
    MetaGroup meta;
    WholeFileVerdict verdict = ReadMetaGroup(reader, meta);
    // dcmdjpeg reads a meta group whose length is wrong as far as its tags go.
    if (verdict == WholeFileVerdict::MetaGroupUnreadable) {
        meta = MetaGroup();
        verdict = ReadMetaGroup(reader, meta, false);
    }
    if (verdict == WholeFileVerdict::ReadFailed) {
        header.readFailed = true;
        return header;
    }
    if (verdict == WholeFileVerdict::NoPreamble || verdict == WholeFileVerdict::NoDicmPrefix) {
        ReadBareDataSet(reader, header);
        return header;
    }
    if (verdict != WholeFileVerdict::Whole && verdict != WholeFileVerdict::NoTransferSyntax) {
        header.metaGroupUnreadable = true;
        return header;
    }
    header.isDicom = true;
    if (!meta.transferSyntax)
        return header;
    header.transferSyntax = *meta.transferSyntax;
    header.kind = ClassifyTransferSyntax(header.transferSyntax);
    const std::optional<Encoding> encoding = DataSetEncoding(header.transferSyntax, header.kind);
    if (!encoding)
        return header;
    ReadDataSetHeader(reader, meta.dataSetStart, *encoding, header, false, header.kind == TransferSyntaxKind::Jpeg);
    return header;
}
