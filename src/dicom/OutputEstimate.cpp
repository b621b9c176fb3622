#include "dicom/OutputEstimate.h"
#include <algorithm>

namespace {

// a + b, or nothing when it does not fit.
std::optional<uint64_t> Add(std::optional<uint64_t> a, uint64_t b)
{
    if (!a || *a > UINT64_MAX - b)
        return std::nullopt;
    return *a + b;
}

std::optional<uint64_t> Multiply(std::optional<uint64_t> a, uint64_t b)
{
    if (!a || (b != 0 && *a > UINT64_MAX / b))
        return std::nullopt;
    return *a * b;
}

// The attribute when the data set gives a usable one, else what the JPEG
// frame header says (0 when neither does).
uint64_t AttributeOr(const std::optional<uint64_t>& attribute, uint64_t fromFrame)
{
    return attribute && *attribute > 0 ? *attribute : fromFrame;
}

// The decoded pixel data with its 12-byte element header.
std::optional<uint64_t> DecodedSize(const EncapsulatedPixelData& pixels)
{
    const JpegFrameHeader frame = pixels.firstFrame.value_or(JpegFrameHeader());
    const uint64_t rows = AttributeOr(pixels.image.rows, frame.lines);
    const uint64_t columns = AttributeOr(pixels.image.columns, frame.samplesPerLine);
    const uint64_t samples = AttributeOr(pixels.image.samplesPerPixel, frame.components);
    if (rows == 0 || columns == 0 || samples == 0)
        return std::nullopt;
    const uint64_t bytesPerSample = pixels.firstFrame && frame.precision <= 8 ? 1 : 2;
    std::optional<uint64_t> bytes = Multiply(Multiply(Multiply(Multiply(rows, columns), samples), bytesPerSample),
                                             FramesToDecode(pixels));
    if (bytes)
        bytes = Add(bytes, *bytes & 1);
    return Add(bytes, 12);
}

// The input written again: its size, and what its elements' rewrite may add.
std::optional<uint64_t> RewrittenSize(const DicomHeader& header, uint64_t inputSize)
{
    return Add(Add(inputSize, kRewriteAllowance), header.rewriteGrowth);
}

std::optional<uint64_t> JpegOutputSize(const DicomHeader& header, uint64_t inputSize)
{
    // Without pixel data of its own, a data set may still hold icon images
    // in its sequences, which dcmdjpeg decodes all the same.
    if (!header.pixelDataOffset && header.hasPixelData != false)
        return std::nullopt;
    std::optional<uint64_t> size = RewrittenSize(header, inputSize);
    for (const EncapsulatedPixelData& pixels : header.encapsulated) {
        if (pixels.cutShort)
            return 0;  // dcmdjpeg reads no file cut short
        if (!pixels.closed)
            return std::nullopt;
        const std::optional<uint64_t> decoded = DecodedSize(pixels);
        // The elements lie apart within the input, so their spans add up to
        // no more than its size.
        if (!decoded || !size || pixels.end - pixels.begin > *size)
            return std::nullopt;
        *size -= pixels.end - pixels.begin;
        size = Add(Add(size, *decoded), pixels.topLevel ? 0 : kNestedImageAllowance);
    }
    return size;
}

}  // namespace

uint64_t FramesToDecode(const EncapsulatedPixelData& pixels)
{
    const uint64_t stated = pixels.image.numberOfFrames.value_or(0);
    const uint64_t frames = stated > 0 ? std::min(stated, pixels.fragments) : pixels.framesStarted;
    return std::max<uint64_t>(frames, 1);
}

std::optional<uint64_t> EstimatedOutputSize(const DicomHeader& header, uint64_t inputSize)
{
    if (header.endsInMetaGroup && !header.readFailed)
        return 0;
    if (header.readFailed || header.metaGroupUnreadable)
        return std::nullopt;
    if (!header.isDicom)
        return 0;
    switch (header.kind) {
    case TransferSyntaxKind::Jpeg:
        return JpegOutputSize(header, inputSize);
    case TransferSyntaxKind::Uncompressed:
    case TransferSyntaxKind::Other:
        return RewrittenSize(header, inputSize);
    case TransferSyntaxKind::JpegOther:
    case TransferSyntaxKind::JpegLs:
    case TransferSyntaxKind::Jpeg2000:
    case TransferSyntaxKind::Rle:
    case TransferSyntaxKind::Deflate:
        break;
    }
    return 0;
}
