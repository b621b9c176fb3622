#pragma once
// Small DICOM files built in memory, for the structure reader's tests and the
// seeds of its fuzz target.
#include "dicom/DicomStructure.h"
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dicom_test {

constexpr uint32_t kUndefined = 0xFFFFFFFF;

struct Syntax {
    const char* uid;
    bool explicitVr;
    bool bigEndian;
};
constexpr Syntax kExplicitLittle{ "1.2.840.10008.1.2.1", true, false };
constexpr Syntax kImplicitLittle{ "1.2.840.10008.1.2", false, false };
constexpr Syntax kExplicitBig{ "1.2.840.10008.1.2.2", true, true };

// A data set, element by element, in one encoding.
class DataSet {
public:
    DataSet(bool explicitVr, bool bigEndian) : m_explicitVr(explicitVr), m_bigEndian(bigEndian) {}
    explicit DataSet(const Syntax& syntax) : DataSet(syntax.explicitVr, syntax.bigEndian) {}

    // The VR is written in explicit VR only; items and delimiters carry none.
    DataSet& Header(uint16_t group, uint16_t element, std::string_view vr, uint32_t length)
    {
        Put16(group);
        Put16(element);
        if (group == 0xFFFE || !m_explicitVr) {
            Put32(length);
        } else if (IsLongForm(vr)) {
            m_bytes += vr;
            m_bytes.append(2, '\0');
            Put32(length);
        } else {
            m_bytes += vr;
            Put16(static_cast<uint16_t>(length));
        }
        return *this;
    }

    // Odd values get the padding of their VR.
    DataSet& Element(uint16_t group, uint16_t element, std::string_view vr, std::string_view value)
    {
        std::string padded(value);
        if (padded.size() % 2 != 0)
            padded += vr == "UI" || vr == "OB" ? '\0' : ' ';
        Header(group, element, vr, static_cast<uint32_t>(padded.size()));
        m_bytes += padded;
        return *this;
    }

    DataSet& Us(uint16_t group, uint16_t element, uint16_t value)
    {
        Header(group, element, "US", 2);
        Put16(value);
        return *this;
    }

    DataSet& Ul(uint16_t group, uint16_t element, uint32_t value)
    {
        Header(group, element, "UL", 4);
        Put32(value);
        return *this;
    }

    DataSet& Item(uint32_t length = kUndefined) { return Header(0xFFFE, 0xE000, "", length); }
    DataSet& ItemEnd() { return Header(0xFFFE, 0xE00D, "", 0); }
    DataSet& SequenceEnd() { return Header(0xFFFE, 0xE0DD, "", 0); }

    // A sequence of defined length holding one item of defined length.
    DataSet& DefinedSequence(uint16_t group, uint16_t element, const DataSet& itemContent)
    {
        const uint32_t itemSize = static_cast<uint32_t>(itemContent.Bytes().size());
        Header(group, element, "SQ", itemSize + 8);
        Item(itemSize);
        return Raw(itemContent.Bytes());
    }

    DataSet& Raw(std::string_view bytes)
    {
        m_bytes += bytes;
        return *this;
    }

    const std::string& Bytes() const { return m_bytes; }

private:
    static bool IsLongForm(std::string_view vr)
    {
        for (std::string_view longForm : { "OB", "OD", "OF", "OL", "OV", "OW", "SQ", "SV", "UC", "UN", "UR", "UT", "UV" }) {
            if (vr == longForm)
                return true;
        }
        return false;
    }

    void Put16(uint16_t value)
    {
        const char lo = static_cast<char>(value & 0xFF), hi = static_cast<char>(value >> 8);
        m_bytes += m_bigEndian ? hi : lo;
        m_bytes += m_bigEndian ? lo : hi;
    }

    void Put32(uint32_t value)
    {
        const uint16_t lo = static_cast<uint16_t>(value & 0xFFFF), hi = static_cast<uint16_t>(value >> 16);
        Put16(m_bigEndian ? hi : lo);
        Put16(m_bigEndian ? lo : hi);
    }

    bool m_explicitVr;
    bool m_bigEndian;
    std::string m_bytes;
};

// The preamble, "DICM" and the meta group naming the transfer syntax.
inline std::string FileStart(std::string_view transferSyntax, bool withGroupLength = true)
{
    DataSet meta(true, false);
    meta.Element(0x0002, 0x0001, "OB", std::string("\0\1", 2))
        .Element(0x0002, 0x0002, "UI", "1.2.840.10008.5.1.4.1.1.7")
        .Element(0x0002, 0x0003, "UI", "1.2.3.4.5")
        .Element(0x0002, 0x0010, "UI", transferSyntax)
        .Element(0x0002, 0x0012, "UI", "1.2.3.4");
    std::string start(128, '\0');
    start += "DICM";
    if (withGroupLength) {
        DataSet length(true, false);
        length.Header(0x0002, 0x0000, "UL", 4);
        const uint32_t size = static_cast<uint32_t>(meta.Bytes().size());
        for (int shift = 0; shift < 32; shift += 8)
            length.Raw(std::string(1, static_cast<char>((size >> shift) & 0xFF)));
        start += length.Bytes();
    }
    return start + meta.Bytes();
}

struct Image {
    uint16_t rows = 4;
    uint16_t columns = 3;
    uint16_t samplesPerPixel = 1;
    uint16_t bitsAllocated = 16;
    std::string numberOfFrames;  // no element when empty
};

inline uint64_t PixelBytes(const Image& image)
{
    const uint64_t frames = image.numberOfFrames.empty() ? 1 : std::stoull(image.numberOfFrames);
    const uint64_t bits = uint64_t{ image.rows } * image.columns * frames * image.samplesPerPixel * image.bitsAllocated;
    const uint64_t bytes = (bits + 7) / 8;
    return bytes + (bytes & 1);
}

// The elements before Pixel Data: a sequence of undefined length whose items
// have undefined length, one holding a sequence of defined length; in
// explicit VR a private element of VR UN and undefined length, its items in
// implicit VR little endian; and the image attributes.
inline DataSet ImageElements(const Syntax& syntax, const Image& image)
{
    DataSet inner(syntax);
    inner.Element(0x0040, 0xA040, "CS", "TEXT");
    DataSet set(syntax);
    set.Element(0x0008, 0x0016, "UI", "1.2.840.10008.5.1.4.1.1.7")
        .Element(0x0008, 0x0060, "CS", "OT")
        .Header(0x0008, 0x1140, "SQ", kUndefined)
        .Item()
        .Element(0x0008, 0x1150, "UI", "1.2.3")
        .Element(0x0008, 0x1155, "UI", "1.2.3.4")
        .ItemEnd()
        .Item()
        .Element(0x0008, 0x1150, "UI", "1.2")
        .DefinedSequence(0x0040, 0xA730, inner)
        .ItemEnd()
        .SequenceEnd();
    if (syntax.explicitVr) {
        DataSet unknown(false, false);
        unknown.Item().Element(0x0009, 0x1002, "LO", "implicit").ItemEnd().SequenceEnd();
        set.Element(0x0009, 0x0010, "LO", "PARVANE TEST")
            .Header(0x0009, 0x1001, "UN", kUndefined)
            .Raw(unknown.Bytes());
    }
    set.Us(0x0028, 0x0002, image.samplesPerPixel).Element(0x0028, 0x0004, "CS", "MONOCHROME2");
    if (!image.numberOfFrames.empty())
        set.Element(0x0028, 0x0008, "IS", image.numberOfFrames);
    set.Us(0x0028, 0x0010, image.rows).Us(0x0028, 0x0011, image.columns).Us(0x0028, 0x0100, image.bitsAllocated);
    return set;
}

// A whole uncompressed image file in the given transfer syntax.
inline std::string SmallImage(const Syntax& syntax, const Image& image = Image())
{
    DataSet set = ImageElements(syntax, image);
    std::string pixels(static_cast<size_t>(PixelBytes(image)), '\0');
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<char>(i * 37 + 11);
    set.Element(0x7FE0, 0x0010, image.bitsAllocated > 8 ? "OW" : "OB", pixels);
    return FileStart(syntax.uid) + set.Bytes();
}

// An image file whose pixel data is encapsulated: an empty offset table and
// two fragments, in explicit VR little endian as every compressed syntax is.
inline std::string EncapsulatedImage(std::string_view transferSyntax, const Image& image = Image())
{
    DataSet set = ImageElements(kExplicitLittle, image);
    set.Header(0x7FE0, 0x0010, "OB", kUndefined)
        .Item(0)
        .Item(4)
        .Raw("\xFF\xD8\xFF\xE0")
        .Item(2)
        .Raw("\xFF\xD9")
        .SequenceEnd();
    return FileStart(transferSyntax) + set.Bytes();
}

// Sequences nested depth deep, each in an item of the one above, then pixel
// data; the sequences are UN of undefined length when asked, read as
// implicit VR inside.
inline std::string Nested(int depth, bool unknownVr)
{
    DataSet opening(kExplicitLittle);
    opening.Header(0x0008, 0x1140, unknownVr ? "UN" : "SQ", kUndefined).Item();
    DataSet inner(unknownVr ? kImplicitLittle : kExplicitLittle);
    for (int level = 1; level < depth; ++level)
        inner.Header(0x0008, 0x1140, "SQ", kUndefined).Item();
    inner.Element(0x0008, 0x0060, "CS", "OT");
    for (int level = 0; level < depth; ++level)
        inner.ItemEnd().SequenceEnd();
    DataSet pixels(kExplicitLittle);
    pixels.Element(0x7FE0, 0x0010, "OB", "ab");
    return FileStart(kExplicitLittle.uid) + opening.Bytes() + inner.Bytes() + pixels.Bytes();
}

// A directory record of a DICOMDIR. It points at other records by their
// index (-1: none); it names a file when fileId is not empty, and gives the
// file's transfer syntax when syntax is not empty too.
struct DirRecord {
    std::string type;
    std::string fileId;  // components joined by backslashes
    std::string syntax;
    int next = -1;
    int lower = -1;
    int mrdr = -1;     // (0004,1504), in a record that names a file
    std::string tail;  // elements after the record's own (0004,xxxx) ones, in tag order
};

// How the Directory Record Sequence and its records give their lengths.
struct DirLengths {
    bool definedSequence;
    bool definedItems;
};

struct DirFile {
    std::string bytes;
    std::vector<uint32_t> recordStarts;  // where each record's item starts
};

// A DICOMDIR whose Directory Record Sequence holds the records in order; the
// root records are firstRoot and the chain of next records from it.
inline DirFile DirectoryFile(const std::vector<DirRecord>& records, DirLengths lengths, int firstRoot = 0,
                             std::string_view transferSyntax = kExplicitLittle.uid)
{
    DirFile file;
    file.recordStarts.assign(records.size(), 0);
    int lastRoot = firstRoot;
    while (records[lastRoot].next >= 0)
        lastRoot = records[lastRoot].next;
    const auto offset = [&file](int index) { return index < 0 ? 0u : file.recordStarts[index]; };
    // An offset takes 4 bytes whatever its value: a first pass places the
    // records, a second writes the offsets to them.
    for (int pass = 0; pass < 2; ++pass) {
        DataSet sequence(kExplicitLittle);
        std::vector<uint32_t> itemPlaces;
        for (size_t i = 0; i < records.size(); ++i) {
            const DirRecord& r = records[i];
            DataSet item(kExplicitLittle);
            item.Ul(0x0004, 0x1400, offset(r.next))
                .Us(0x0004, 0x1410, 0xFFFF)
                .Ul(0x0004, 0x1420, offset(r.lower))
                .Element(0x0004, 0x1430, "CS", r.type);
            if (!r.fileId.empty()) {
                item.Element(0x0004, 0x1500, "CS", r.fileId);
                if (r.mrdr >= 0)
                    item.Ul(0x0004, 0x1504, offset(r.mrdr));
                item.Element(0x0004, 0x1510, "UI", "1.2.840.10008.5.1.4.1.1.7")
                    .Element(0x0004, 0x1511, "UI", "1.2.3.4.5.6." + std::to_string(i));
                if (!r.syntax.empty())
                    item.Element(0x0004, 0x1512, "UI", r.syntax);
            }
            item.Raw(r.tail);
            itemPlaces.push_back(static_cast<uint32_t>(sequence.Bytes().size()));
            if (lengths.definedItems)
                sequence.Item(static_cast<uint32_t>(item.Bytes().size())).Raw(item.Bytes());
            else
                sequence.Item().Raw(item.Bytes()).ItemEnd();
        }
        if (!lengths.definedSequence)
            sequence.SequenceEnd();
        DataSet set(kExplicitLittle);
        set.Element(0x0004, 0x1130, "CS", "PARVANE")
            .Ul(0x0004, 0x1200, offset(firstRoot))
            .Ul(0x0004, 0x1202, offset(lastRoot))
            .Us(0x0004, 0x1212, 0)
            .Header(0x0004, 0x1220, "SQ",
                    lengths.definedSequence ? static_cast<uint32_t>(sequence.Bytes().size()) : kUndefined);
        const std::string start = FileStart(transferSyntax) + set.Bytes();
        for (size_t i = 0; i < records.size(); ++i)
            file.recordStarts[i] = static_cast<uint32_t>(start.size()) + itemPlaces[i];
        file.bytes = start + sequence.Bytes();
    }
    return file;
}

// Two patients, the second one's records after the first one's, and before
// both an MRDR record that the root chain reaches last and an image points
// back at. The image records give JPEG syntaxes, the report an uncompressed
// one, and the private record none; the tails hold a character set and a
// name in UTF-8, an icon in a sequence of undefined length, a sequence of
// defined length and private elements with a UN sequence.
inline std::vector<DirRecord> SampleDirectoryRecords()
{
    DataSet patient(kExplicitLittle);
    patient.Element(0x0008, 0x0005, "CS", "ISO_IR 192")
        .Element(0x0010, 0x0010, "PN", "\xC3\x9Cnal^Parvane")
        .Element(0x0010, 0x0020, "LO", "P1");
    DataSet icon(kExplicitLittle);
    icon.Header(0x0088, 0x0200, "SQ", kUndefined)
        .Item()
        .Us(0x0028, 0x0010, 2)
        .Us(0x0028, 0x0011, 2)
        .Element(0x7FE0, 0x0010, "OB", "\x10\x20\x30\x40")
        .ItemEnd()
        .SequenceEnd();
    DataSet concept(kExplicitLittle);
    concept.Element(0x0008, 0x0100, "SH", "121060");
    DataSet report(kExplicitLittle);
    report.DefinedSequence(0x0040, 0xA043, concept);
    DataSet unknown(false, false);
    unknown.Item().Element(0x0009, 0x1002, "LO", "implicit").ItemEnd().SequenceEnd();
    DataSet privateElements(kExplicitLittle);
    privateElements.Element(0x0009, 0x0010, "LO", "PARVANE TEST").Header(0x0009, 0x1001, "UN", kUndefined).Raw(unknown.Bytes());
    return {
        { "MRDR", "", "", -1, -1, -1, "" },
        { "PATIENT", "", "", 8, 2, -1, patient.Bytes() },
        { "STUDY", "", "", -1, 3, -1, "" },
        { "SERIES", "", "", -1, 4, -1, "" },
        { "IMAGE", "DICOM\\P1\\S1\\IM1", "1.2.840.10008.1.2.4.50", 5, -1, 0, icon.Bytes() },
        { "IMAGE", "DICOM\\P1\\S1\\IM2", "1.2.840.10008.1.2.4.70", 6, -1, -1, "" },
        { "SR DOCUMENT", "DICOM\\P1\\S1\\SR1", "1.2.840.10008.1.2.1", 7, -1, -1, report.Bytes() },
        { "PRIVATE", "DICOM\\P1\\S1\\PRIV1", "", -1, -1, -1, privateElements.Bytes() },
        { "PATIENT", "", "", 0, 9, -1, "" },
        { "STUDY", "", "", -1, 10, -1, "" },
        { "SERIES", "", "", -1, 11, -1, "" },
        { "IMAGE", "DICOM\\P2\\S1\\IM1", "1.2.840.10008.1.2.4.57", -1, -1, -1, "" },
    };
}

// The reader's answers on bytes in memory.
inline WholeFileVerdict Check(std::string_view bytes)
{
    MemoryByteSource source(bytes);
    return CheckWholeUncompressed(source);
}

inline DicomHeader Header(std::string_view bytes)
{
    MemoryByteSource source(bytes);
    return ReadDicomHeader(source);
}

}  // namespace dicom_test
