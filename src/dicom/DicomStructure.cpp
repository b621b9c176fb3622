#include "dicom/DicomStructure.h"
#include "dicom/DataSetWalker.h"
#include "dicom/MetaGroup.h"

using namespace dicom_detail;

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

// A data set alone, from the first byte, in one of the three encodings
// dcmdjpeg reads. Its first element tells the encoding, as DICOM toolkits
// guess it: a VR after the tag means explicit VR; a first group that is a
// standard one (even, past the command group) read in the byte order. It
// counts only when its elements ascend and walk whole.
void ReadBareDataSet(WindowedReader& reader, DicomHeader& header)
{
    uint8_t first[6];
    if (reader.Size() < kSmallestDicomFile || !reader.Read(0, first, sizeof(first)))
        return;
    const bool explicitVr = IsKnownVr(static_cast<char>(first[4]), static_cast<char>(first[5]));
    const struct {
        Encoding encoding;
        const char* transferSyntax;
    } candidates[] = {
        { explicitVr ? kExplicitLittle : kImplicitLittle, explicitVr ? "1.2.840.10008.1.2.1" : "1.2.840.10008.1.2" },
        { kExplicitBig, "1.2.840.10008.1.2.2" },
    };
    for (const auto& candidate : candidates) {
        const uint16_t group = Read16(first, candidate.encoding.bigEndian);
        if (group < 0x0002 || group % 2 != 0 || (candidate.encoding.explicitVr && !explicitVr))
            continue;
        DicomHeader bare;
        if (ReadDataSetHeader(reader, 0, candidate.encoding, bare, true) != WholeFileVerdict::Whole) {
            header.readFailed = header.readFailed || bare.readFailed;
            continue;
        }
        header = bare;
        header.isDicom = true;
        header.bareDataSet = true;
        header.transferSyntax = candidate.transferSyntax;
        header.kind = TransferSyntaxKind::Uncompressed;
        return;
    }
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
        header.endsInMetaGroup = meta.endsInside;
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
