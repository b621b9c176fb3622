#include "dicom/ElementReading.h"

namespace dicom_detail {

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

namespace {

bool IsCapital(char c)
{
    return c >= 'A' && c <= 'Z';
}

}  // namespace

// Reads the header at offset; items and delimiters carry no VR in any
// encoding. Running past end is a cut when end is the end of the file, and a
// malformed element when end is that of the item holding it.
WholeFileVerdict ReadElementHeader(WindowedReader& reader, uint64_t offset, uint64_t end, Encoding encoding,
                                   ElementHeader& e, UnknownVr unknownVr)
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

}  // namespace dicom_detail
