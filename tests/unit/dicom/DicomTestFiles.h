#pragma once
// Small DICOM files built in memory, for the structure reader's tests and the
// seeds of its fuzz target.
#include "dicom/DicomStructure.h"
#include <cstdint>
#include <string>
#include <string_view>

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
