#pragma once
// Reads the structure of a DICOM file without a DICOM library: the preamble,
// the file meta information and the element headers of the data set. Values
// are skipped by their lengths, so pixel data is never loaded (of JPEG
// fragments, only their first bytes) and a large file is read in a few small
// reads. Plain C++.
#include "dicom/ByteSource.h"
#include "dicom/JpegFrameHeader.h"
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// The image attributes of one data set (the file's, or an item's such as an
// icon image). Absent when the data set does not hold them; 0 when it holds
// a value that cannot be used (a wrong length, or a number of frames that is
// not a positive integer string).
struct ImageAttributes {
    std::optional<uint64_t> rows;             // (0028,0010)
    std::optional<uint64_t> columns;          // (0028,0011)
    std::optional<uint64_t> numberOfFrames;   // (0028,0008)
    std::optional<uint64_t> samplesPerPixel;  // (0028,0002)
    std::optional<uint64_t> bitsAllocated;    // (0028,0100)
};

// An encapsulated Pixel Data element: a sequence of fragments after an
// offset table.
struct EncapsulatedPixelData {
    uint64_t begin = 0;  // the element's header
    uint64_t end = 0;    // after its sequence delimiter, or as far as it was walked
    bool closed = false;  // its sequence delimiter was reached
    bool cutShort = false;  // the file ends within it
    bool topLevel = false;
    uint64_t fragments = 0;      // items after the offset table
    uint64_t framesStarted = 0;  // fragments that begin with a JPEG start-of-image marker
    std::optional<JpegFrameHeader> firstFrame;  // found in the first fragment
    ImageAttributes image;  // of the data set that holds it
};

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

    // What dcmdjpeg's output size depends on beyond the attributes above.
    // "DICM" follows the preamble, but the meta group cannot be read even
    // with its group length set aside.
    bool metaGroupUnreadable = false;
    // The file ends inside its meta group: dcmdjpeg cannot read it, and
    // writes nothing for it.
    bool endsInMetaGroup = false;
    // For the transfer syntaxes dcmdjpeg decodes, the walk goes on past the
    // top-level Pixel Data to the end of the file; these are the
    // encapsulated pixel data elements it met, in items (an icon image) and
    // at the top level, in file order.
    std::vector<EncapsulatedPixelData> encapsulated;
    // Bytes that writing the walked elements again in explicit VR little
    // endian may add: 4 for each element whose header may take the long form
    // (every element of an implicit VR data set, and explicit ones with a
    // non-standard VR read with a 2-byte length), 1 for each odd length.
    uint64_t rewriteGrowth = 0;
};

// Reads the meta group and, for transfer syntaxes whose data set is not
// deflated, the data set up to its top-level Pixel Data element (to its end
// when it holds none, or when dcmdjpeg decodes the syntax). A file without
// "DICM" after the preamble is read as a bare data set; it counts as DICOM
// only when its elements ascend and walk whole to the pixel data or to the
// end of the file. Where dcmdjpeg reads on, so does the header: a meta group
// whose length is wrong is read as far as its tags go, and an element of a
// VR it does not know takes a 4-byte length after two capital letters and a
// 2-byte one otherwise.
DicomHeader ReadDicomHeader(ByteSource& source);

// No smaller file holds a data element: its tag and length, with or without
// a VR between them.
constexpr uint64_t kSmallestDicomFile = 8;
