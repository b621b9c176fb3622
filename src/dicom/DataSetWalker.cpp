#include "dicom/DataSetWalker.h"
#include <algorithm>
#include <string>

namespace dicom_detail {

namespace {

// Number of Frames is an integer string of at most 12 characters; a little
// slack for padding.
constexpr uint32_t kMaxNumberOfFramesBytes = 64;
constexpr uint64_t kMaxIntegerString = 2147483647;

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


}  // namespace

WholeFileVerdict DataSetWalker::WalkDataSet(uint64_t& offset, uint64_t end, Encoding encoding, bool undefinedItem,
                                            bool topLevel, int depth)
{
    const DataSetPlace place{ end, encoding, undefinedItem, topLevel, depth };
    ImageAttributes itemImage;
    ImageAttributes& image = topLevel ? m_topLevelImage : itemImage;
    std::optional<uint32_t> previousTag;
    for (;;) {
        if (offset == end)
            return undefinedItem ? WholeFileVerdict::UnclosedSequence : WholeFileVerdict::Whole;
        ElementHeader e;
        WholeFileVerdict verdict = ReadElementHeader(m_reader, offset, end, encoding, e, VrHandling());
        if (verdict != WholeFileVerdict::Whole)
            return verdict;
        if (undefinedItem && e.tag == kItemDelimiter)
            return CloseItem(e, offset);
        verdict = CheckTagPlace(e, previousTag);
        if (verdict != WholeFileVerdict::Whole)
            return verdict;
        if (m_observer)
            m_observer->Element(e, offset, depth);
        if (!Checking())
            CountRewriteGrowth(e, encoding);
        if (topLevel && IsPixelDataTag(e.tag) && !m_sawPixelData && NoteTopLevelPixelData(e, offset, end))
            return WholeFileVerdict::Whole;
        verdict = RecordImageAttribute(e, place, image);
        if (verdict != WholeFileVerdict::Whole)
            return verdict;
        verdict = WalkElementValue(e, offset, place, image);
        if (verdict != WholeFileVerdict::Whole)
            return verdict;
    }
}

WholeFileVerdict DataSetWalker::CloseItem(const ElementHeader& delimiter, uint64_t& offset)
{
    offset = delimiter.valueStart;
    return delimiter.length == 0 ? WholeFileVerdict::Whole : WholeFileVerdict::MalformedElement;
}

WholeFileVerdict DataSetWalker::CheckTagPlace(const ElementHeader& e, std::optional<uint32_t>& previousTag) const
{
    if (IsDelimiterGroup(e.tag))
        return WholeFileVerdict::MalformedElement;
    if (m_strictOrder && previousTag && e.tag <= *previousTag)
        return WholeFileVerdict::OutOfOrder;
    previousTag = e.tag;
    return WholeFileVerdict::Whole;
}

bool DataSetWalker::NoteTopLevelPixelData(const ElementHeader& e, uint64_t offset, uint64_t end)
{
    m_sawPixelData = true;
    if (Checking())
        return false;
    m_header->pixelDataOffset = offset;
    if (e.length != kUndefinedLength && e.length <= end - e.valueStart)
        m_header->pixelDataEnd = e.valueStart + e.length;
    return !m_walkPastPixelData;
}

WholeFileVerdict DataSetWalker::RecordImageAttribute(const ElementHeader& e, const DataSetPlace& place,
                                                     ImageAttributes& image)
{
    if (Checking() || e.length == kUndefinedLength || e.length > place.end - e.valueStart)
        return WholeFileVerdict::Whole;
    return RecordAttribute(e, place.encoding, image);
}

WholeFileVerdict DataSetWalker::WalkElementValue(const ElementHeader& e, uint64_t& offset, const DataSetPlace& place,
                                                 const ImageAttributes& image)
{
    const uint64_t elementStart = offset;
    const WholeFileVerdict verdict = WalkValue(e, offset, place.end, place.encoding, place.depth);
    if (verdict == WholeFileVerdict::EncapsulatedPixelData && !Checking())
        return WalkEncapsulated(elementStart, offset, place.end, place.encoding, place.topLevel, image);
    return verdict;
}

void DataSetWalker::CountRewriteGrowth(const ElementHeader& e, Encoding encoding)
{
    if (!encoding.explicitVr || e.unknownShortVr)
        m_header->rewriteGrowth += 4;
    if (e.length != kUndefinedLength && e.length % 2 != 0)
        m_header->rewriteGrowth += 1;
}

WholeFileVerdict DataSetWalker::WalkValue(const ElementHeader& e, uint64_t& offset, uint64_t end, Encoding encoding, int depth)
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

WholeFileVerdict DataSetWalker::WalkItems(uint64_t& offset, uint64_t end, Encoding encoding, bool undefinedSequence, int depth)
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
        if (m_observer)
            m_observer->Item(e, offset, depth);
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

WholeFileVerdict DataSetWalker::WalkEncapsulated(uint64_t elementStart, uint64_t& offset, uint64_t end, Encoding encoding,
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

WholeFileVerdict DataSetWalker::WalkFragments(uint64_t& offset, uint64_t end, Encoding encoding,
                               EncapsulatedPixelData* pixels)
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

WholeFileVerdict DataSetWalker::NoteFragment(const ElementHeader& fragment, EncapsulatedPixelData& pixels)
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

WholeFileVerdict DataSetWalker::ReadFirstFrameHeader(const ElementHeader& fragment, std::optional<JpegFrameHeader>& frame)
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

WholeFileVerdict DataSetWalker::RecordAttribute(const ElementHeader& e, Encoding encoding, ImageAttributes& image)
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

}  // namespace dicom_detail
