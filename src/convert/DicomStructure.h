#pragma once
// Reads the structure of a DICOM file without a DICOM library: the preamble,
// the file meta information and the element headers of the data set. Values
// are skipped by their lengths, so pixel data is never loaded and a large
// file is read in a few small reads. Plain C++.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Where the reader gets its bytes from: a file, or memory.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Copies the n bytes at offset; false when they cannot all be read. The
    // reader only asks for bytes that lie within Size().
    virtual bool Read(uint64_t offset, void* into, size_t n) = 0;
};

// Bytes already in memory; they must outlive the source.
class MemoryByteSource : public ByteSource {
public:
    explicit MemoryByteSource(std::string_view bytes) : m_bytes(bytes) {}
    uint64_t Size() const override { return m_bytes.size(); }
    bool Read(uint64_t offset, void* into, size_t n) override;

private:
    std::string_view m_bytes;
};

// Why a file is, or is not, a whole uncompressed DICOM file.
enum class WholeFileVerdict {
    Whole,
    NoPreamble,             // shorter than the 128-byte preamble and "DICM"
    NoDicmPrefix,           // no "DICM" after the preamble
    MetaGroupUnreadable,    // the file meta information is cut short or malformed
    NoTransferSyntax,       // the file meta information names no transfer syntax
    NotUncompressed,        // a compressed, deflated or unknown transfer syntax
    ElementCut,             // an element's header or value runs past the end of the file
    UnclosedSequence,       // a sequence or item of undefined length ends without its delimiter
    MalformedElement,       // an unknown VR, a misplaced item or delimiter, or an
                            // element overrunning the item that holds it
    OutOfOrder,             // tags that do not ascend within a data set
    TooDeep,                // sequences nested deeper than kMaxSequenceNesting
    EncapsulatedPixelData,  // pixel data of undefined length: compressed fragments
    NoPixelData,            // no Pixel Data at the top level of the data set
    ReadFailed,             // the byte source could not read bytes within its size
};

// The depth of nested sequences the reader follows; deeper files are refused.
constexpr int kMaxSequenceNesting = 64;

// Whether the file is whole and uncompressed, as dcmdjpeg's output must be:
// preamble, "DICM" and a readable meta group; an uncompressed transfer
// syntax (implicit VR little endian, explicit VR little or big endian); and a
// data set whose elements, in ascending tag order, walk exactly to the end of
// the file, every sequence and item of undefined length closed by its
// delimiter, and with Pixel Data of defined length at its top level.
// Sequences are SQ elements, in implicit VR any element of undefined length,
// and UN elements of undefined length, whose items are read as implicit VR
// little endian.
//
// A file without pixel data (Pixel Data, Float or Double Float Pixel Data) is
// NoPixelData: it cannot be told apart from one cut at an element boundary
// before its pixel data, so the caller decides with what it knows of the
// input. A cut at an element boundary after the pixel data leaves a file that
// still passes.
WholeFileVerdict CheckWholeUncompressed(ByteSource& source);

const char* WholeFileVerdictName(WholeFileVerdict verdict);

// What a transfer syntax means for dcmdjpeg.
enum class TransferSyntaxKind {
    Uncompressed,  // implicit VR little endian, explicit VR little or big endian
    Jpeg,          // a JPEG process dcmdjpeg decodes: .4.50, .51, .53, .55, .57, .70
    JpegOther,     // a retired JPEG process dcmdjpeg does not decode (.4.52 ... .4.66)
    JpegLs,
    Jpeg2000,      // JPEG 2000 and High-Throughput JPEG 2000
    Rle,
    Deflate,
    Other,         // unknown, or none given
};

// The kind of a transfer syntax UID, with its NUL or space padding.
TransferSyntaxKind ClassifyTransferSyntax(std::string_view uid);

const char* TransferSyntaxKindName(TransferSyntaxKind kind);

// What the reader found at the start of an input file.
struct DicomHeader {
    bool isDicom = false;     // preamble, "DICM" and a readable meta group
    bool readFailed = false;  // the source failed a read; what follows may be partial
    std::string transferSyntax;  // without padding; empty when the meta group names none
    TransferSyntaxKind kind = TransferSyntaxKind::Other;

    // Image attributes from the top level of the data set before Pixel Data.
    // Absent when the data set does not hold them; 0 when it holds a value
    // that cannot be used (a wrong length, or a number of frames that is not
    // a positive integer string).
    std::optional<uint64_t> rows;             // (0028,0010)
    std::optional<uint64_t> columns;          // (0028,0011)
    std::optional<uint64_t> numberOfFrames;   // (0028,0008)
    std::optional<uint64_t> samplesPerPixel;  // (0028,0002)
    std::optional<uint64_t> bitsAllocated;    // (0028,0100)

    // Where the top-level pixel data element (Pixel Data, or Float or Double
    // Float Pixel Data) starts, and where its value ends
    // when its length is defined. Absent when the data set was not read up to
    // it: a deflated or unknown transfer syntax, or a malformed element before.
    std::optional<uint64_t> pixelDataOffset;
    std::optional<uint64_t> pixelDataEnd;

    // Whether the data set holds pixel data at its top level (Pixel Data,
    // Float Pixel Data or Double Float Pixel Data): known when it was read up
    // to it, or to its end without meeting it; absent when the reader could
    // not tell. Reports, RT plans and waveforms hold none.
    std::optional<bool> hasPixelData;
    // A data set without preamble and meta group, as some scanners and
    // toolkits write; read as implicit or explicit VR little endian, as its
    // first element shows.
    bool bareDataSet = false;
};

// Reads the meta group and, for transfer syntaxes whose data set is not
// deflated, the data set up to its top-level Pixel Data element (to its end
// when it holds none). A file without "DICM" after the preamble is read as a
// bare data set; it counts as DICOM only when its elements ascend and walk
// whole to the pixel data or to the end of the file.
DicomHeader ReadDicomHeader(ByteSource& source);

// The size dcmdjpeg's output is expected to have: the data set up to Pixel
// Data, its 12-byte element header, and rows x columns x frames x samples x
// bits allocated / 8 bytes rounded up to an even count. When the input is
// uncompressed, not DICOM, or some of these are missing, implausible or too
// large to add up, the input's own size.
uint64_t EstimatedOutputSize(const DicomHeader& header, uint64_t inputSize);
