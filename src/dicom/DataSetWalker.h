#pragma once
// The walk over a data set's elements, shared by the whole-file check and
// the header reader. Plain C++; used only inside dicom/.
#include "dicom/ElementReading.h"
#include <optional>

namespace dicom_detail {

// Told of each element and item a walk meets, with where its header starts
// and how deep it lies: the top-level data set is depth 0, the items of its
// sequences and their elements depth 1, and so on. Delimiters and the
// fragments of encapsulated pixel data are not told.
class WalkObserver {
public:
    virtual ~WalkObserver() = default;
    virtual void Element(const ElementHeader& e, uint64_t offset, int depth) = 0;
    virtual void Item(const ElementHeader& item, uint64_t offset, int depth) = 0;
};

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

    void SetObserver(WalkObserver* observer) { m_observer = observer; }

    bool SawPixelData() const { return m_sawPixelData; }
    // The image attributes of the top-level data set.
    const ImageAttributes& TopLevelImage() const { return m_topLevelImage; }

    // Walks from offset to end, or, for an item of undefined length, to the
    // item delimiter; offset is left after what was walked.
    WholeFileVerdict WalkDataSet(uint64_t& offset, uint64_t end, Encoding encoding, bool undefinedItem,
                                 bool topLevel, int depth);

private:
    // Where one data set lies and how it is read.
    struct DataSetPlace {
        uint64_t end;
        Encoding encoding;
        bool undefinedItem;  // an item of undefined length: ends at its delimiter
        bool topLevel;
        int depth;
    };

    bool Checking() const { return m_header == nullptr; }
    UnknownVr VrHandling() const { return Checking() ? UnknownVr::Refuse : UnknownVr::ReadOn; }

    // The steps of one element of a data set, in the order the walk takes
    // them. First, the item delimiter that closes an item of undefined length.
    static WholeFileVerdict CloseItem(const ElementHeader& delimiter, uint64_t& offset);
    // A delimiter out of place, or (with strict order) a tag that does not ascend.
    WholeFileVerdict CheckTagPlace(const ElementHeader& e, std::optional<uint32_t>& previousTag) const;
    // What writing the element again in explicit VR little endian, with an
    // even length, may add (see DicomHeader::rewriteGrowth).
    void CountRewriteGrowth(const ElementHeader& e, Encoding encoding);
    // The first top-level pixel data element: where it lies. True when the
    // walk ends there (a header's walk that does not go past the pixel data).
    bool NoteTopLevelPixelData(const ElementHeader& e, uint64_t offset, uint64_t end);
    // An image attribute of defined length within the data set, for a header.
    WholeFileVerdict RecordImageAttribute(const ElementHeader& e, const DataSetPlace& place, ImageAttributes& image);
    // The element's value: passed by its length, or walked into (a sequence,
    // encapsulated pixel data).
    WholeFileVerdict WalkElementValue(const ElementHeader& e, uint64_t& offset, const DataSetPlace& place,
                                      const ImageAttributes& image);

    // Leaves encapsulated Pixel Data to the caller: EncapsulatedPixelData.
    WholeFileVerdict WalkValue(const ElementHeader& e, uint64_t& offset, uint64_t end, Encoding encoding, int depth);
    // The items of a sequence, up to end or, for a sequence of undefined
    // length, to the sequence delimiter.
    WholeFileVerdict WalkItems(uint64_t& offset, uint64_t end, Encoding encoding, bool undefinedSequence, int depth);
    // Encapsulated pixel data met by a header's walk: its fragments are
    // walked and what dcmdjpeg needs to decode them recorded, as far as
    // they could be walked.
    WholeFileVerdict WalkEncapsulated(uint64_t elementStart, uint64_t& offset, uint64_t end, Encoding encoding,
                                      bool topLevel, const ImageAttributes& image);
    // Encapsulated pixel data: items of defined length, the first the offset
    // table, up to the sequence delimiter. With pixels, counts the fragments
    // after the offset table and reads the first one's frame header.
    WholeFileVerdict WalkFragments(uint64_t& offset, uint64_t end, Encoding encoding,
                                   EncapsulatedPixelData* pixels = nullptr);
    // A fragment after the offset table: counted, and whether it starts a
    // JPEG stream; the first one's frame header is read.
    WholeFileVerdict NoteFragment(const ElementHeader& fragment, EncapsulatedPixelData& pixels);
    // The frame header is near the start of a stream, after its tables; a
    // longer look is taken only when a short one ends before it.
    WholeFileVerdict ReadFirstFrameHeader(const ElementHeader& fragment, std::optional<JpegFrameHeader>& frame);
    // Rows, Columns, Samples per Pixel, Bits Allocated, Number of Frames.
    WholeFileVerdict RecordAttribute(const ElementHeader& e, Encoding encoding, ImageAttributes& image);

    WindowedReader& m_reader;
    DicomHeader* m_header;  // null when checking a file whole
    bool m_strictOrder;
    bool m_walkPastPixelData;
    WalkObserver* m_observer = nullptr;
    bool m_sawPixelData = false;
    ImageAttributes m_topLevelImage;
};

}  // namespace dicom_detail
