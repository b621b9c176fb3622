#pragma once
// The pieces the DICOM readers share: tags, the three encodings of a data
// set, element headers and a windowed reader over a byte source. Plain C++;
// used only inside dicom/.
#include "dicom/DicomStructure.h"
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

namespace dicom_detail {

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


struct Encoding {
    bool explicitVr;
    bool bigEndian;
};
constexpr Encoding kExplicitLittle{ true, false };
constexpr Encoding kImplicitLittle{ false, false };
constexpr Encoding kExplicitBig{ true, true };

inline uint16_t Read16(const uint8_t* p, bool bigEndian)
{
    return bigEndian ? static_cast<uint16_t>(p[0] << 8 | p[1]) : static_cast<uint16_t>(p[1] << 8 | p[0]);
}

inline uint32_t Read32(const uint8_t* p, bool bigEndian)
{
    uint32_t b0 = p[0], b1 = p[1], b2 = p[2], b3 = p[3];
    return bigEndian ? (b0 << 24 | b1 << 16 | b2 << 8 | b3) : (b3 << 24 | b2 << 16 | b1 << 8 | b0);
}


bool IsKnownVr(char a, char b);
// VRs whose explicit header has 2 reserved bytes and a 4-byte length.
bool HasLongLength(char a, char b);
// The value without its NUL or space padding.
std::string_view StripPadding(std::string_view text);

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

inline bool IsDelimiterGroup(uint32_t tag)
{
    return (tag >> 16) == 0xFFFE;
}

// Pixel Data, Float Pixel Data or Double Float Pixel Data.
inline bool IsPixelDataTag(uint32_t tag)
{
    return tag == kPixelData || tag == kFloatPixelData || tag == kDoubleFloatPixelData;
}

inline bool HasVr(const ElementHeader& e, const char* vr)
{
    return e.vr[0] == vr[0] && e.vr[1] == vr[1];
}

// Reads the header at offset; items and delimiters carry no VR in any
// encoding. Running past end is a cut when end is the end of the file, and a
// malformed element when end is that of the item holding it.
WholeFileVerdict ReadElementHeader(WindowedReader& reader, uint64_t offset, uint64_t end, Encoding encoding,
                                   ElementHeader& e, UnknownVr unknownVr = UnknownVr::Refuse);

// The encoding of the data set, when the reader knows it. Every encapsulated
// transfer syntax is explicit VR little endian; a deflated data set cannot be
// walked, and an unknown one could be encoded any way.
std::optional<Encoding> DataSetEncoding(std::string_view uid, TransferSyntaxKind kind);

}  // namespace dicom_detail
