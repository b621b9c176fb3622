// Fuzzes the DICOM structure reader: any bytes are read without a hang, a
// crash or a read outside the file; the whole-file check and the header
// agree; no cut of a whole file before the end of its pixel data is whole;
// the size estimate never counts less than the bytes it keeps, with
// arithmetic that never wraps around; and a DICOMDIR that reads is written
// back unchanged, and with new transfer syntaxes reads again.
#include "dicom/DicomDirectory.h"
#include "dicom/DicomStructure.h"
#include "dicom/OutputEstimate.h"
#include "FuzzDicomInput.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "DICOM structure invariant broken: %s\n", what);
        std::abort();
    }
}

// Memory that refuses, loudly, any read the reader should not make.
class StrictSource : public ByteSource {
public:
    explicit StrictSource(std::string_view bytes) : m_bytes(bytes) {}
    uint64_t Size() const override { return m_bytes.size(); }
    bool Read(uint64_t offset, void* into, size_t n) override
    {
        Require(offset <= m_bytes.size() && n <= m_bytes.size() - offset, "reads lie within the file");
        Require(n > 0, "no empty reads reach the source");
        std::memcpy(into, m_bytes.data() + offset, n);
        return true;
    }

private:
    std::string_view m_bytes;
};

WholeFileVerdict Check(std::string_view bytes)
{
    StrictSource source(bytes);
    return CheckWholeUncompressed(source);
}

bool MetaGroupRefused(WholeFileVerdict verdict)
{
    return verdict == WholeFileVerdict::NoPreamble || verdict == WholeFileVerdict::NoDicmPrefix ||
           verdict == WholeFileVerdict::MetaGroupUnreadable;
}

void CheckHeaderAgrees(WholeFileVerdict verdict, const DicomHeader& header, uint64_t size)
{
    Require(verdict != WholeFileVerdict::ReadFailed && !header.readFailed, "memory never fails a read");
    if (header.bareDataSet)
        Require(verdict == WholeFileVerdict::NoPreamble || verdict == WholeFileVerdict::NoDicmPrefix,
                "a bare data set has no meta group");
    else if (verdict == WholeFileVerdict::MetaGroupUnreadable)
        Require(header.isDicom != header.metaGroupUnreadable, "a meta group is read without its length, or not at all");
    else
        Require(header.isDicom == !MetaGroupRefused(verdict), "the check and the header agree on what is DICOM");
    if (verdict == WholeFileVerdict::Whole)
        Require(header.hasPixelData == true, "a whole file holds pixel data");
    if (verdict == WholeFileVerdict::NoPixelData)
        Require(header.hasPixelData == false, "the check and the header agree on a file without pixel data");
    if (header.isDicom && verdict != WholeFileVerdict::NoTransferSyntax && verdict != WholeFileVerdict::MetaGroupUnreadable)
        Require((header.kind != TransferSyntaxKind::Uncompressed) == (verdict == WholeFileVerdict::NotUncompressed),
                "the check and the header agree on what is uncompressed");
    if (verdict == WholeFileVerdict::NoTransferSyntax)
        Require(header.transferSyntax.empty() && header.kind == TransferSyntaxKind::Other, "no syntax is other");
    if (header.pixelDataOffset)
        Require(*header.pixelDataOffset >= (header.bareDataSet ? 0 : 132) && *header.pixelDataOffset < size,
                "pixel data lies in the data set");
    if (header.pixelDataEnd)
        Require(header.pixelDataOffset && *header.pixelDataOffset < *header.pixelDataEnd && *header.pixelDataEnd <= size,
                "pixel data ends within the file");
}

// The estimate recomputed in 128 bits: nothing, no room, or the input's
// bytes outside its encapsulated pixel data and each of those decoded.
void CheckEstimate(const DicomHeader& header, uint64_t size)
{
    const std::optional<uint64_t> estimate = EstimatedOutputSize(header, size);
    if (!estimate || *estimate == 0)
        return;
    Require(header.isDicom, "only DICOM inputs give an output");
    using Wide = unsigned __int128;
    Wide exact = Wide{ size } + kRewriteAllowance + header.rewriteGrowth;
    if (header.kind != TransferSyntaxKind::Jpeg) {
        Require(exact == *estimate, "an input written again counts whole");
        return;
    }
    for (const EncapsulatedPixelData& pixels : header.encapsulated) {
        Require(pixels.closed && pixels.begin < pixels.end && pixels.end <= size, "pixel data lies within the file");
        const JpegFrameHeader frame = pixels.firstFrame.value_or(JpegFrameHeader());
        const auto pick = [](const std::optional<uint64_t>& a, uint64_t b) -> Wide { return a && *a ? *a : b; };
        Wide bytes = pick(pixels.image.rows, frame.lines) * pick(pixels.image.columns, frame.samplesPerLine) *
                     pick(pixels.image.samplesPerPixel, frame.components) * FramesToDecode(pixels) *
                     (pixels.firstFrame && frame.precision <= 8 ? 1 : 2);
        bytes += bytes & 1;
        exact = exact - (pixels.end - pixels.begin) + 12 + bytes + (pixels.topLevel ? 0 : kNestedImageAllowance);
    }
    Require(exact == *estimate, "the estimate is the exact sum");
}

// No cut before the end of the pixel data is whole, nor a file with a few
// bytes more: they cannot hold an element.
void CheckCutsAndTails(const std::string& file, const DicomHeader& header, const uint8_t* data, size_t size)
{
    Require(header.kind == TransferSyntaxKind::Uncompressed && header.pixelDataEnd, "a whole file has pixel data");
    const uint64_t end = *header.pixelDataEnd;
    const uint64_t cuts[] = { file.size() - 1, end - 1, *header.pixelDataOffset, 132, end / 2,
                              size > 1 ? end * data[1] / 256 : 0 };
    for (uint64_t cut : cuts) {
        if (cut < end)
            Require(Check(std::string_view(file).substr(0, cut)) != WholeFileVerdict::Whole, "no cut is whole");
    }
    const size_t tail = 1 + (size > 2 ? data[2] % 7 : 0);
    Require(Check(file + std::string(tail, static_cast<char>(size > 3 ? data[3] : 0))) != WholeFileVerdict::Whole,
            "trailing bytes are not whole");
}

std::optional<DicomDirectory> ReadDirectory(std::string_view bytes)
{
    StrictSource source(bytes);
    return DicomDirectory::Read(source);
}

// The directory's bytes with every file record that holds a transfer syntax
// naming uid.
std::string WithSyntax(DicomDirectory directory, const char* uid)
{
    for (size_t i = 0; i < directory.FileRecords().size(); ++i)
        Require(directory.SetTransferSyntax(i, uid) == directory.FileRecords()[i].transferSyntax.has_value(),
                "a record that holds a transfer syntax takes a new one");
    return directory.Bytes();
}

// A DICOMDIR that reads is written back unchanged; with new syntaxes it reads
// again, the same records naming them; and setting another syntax and then
// the first again gives the same bytes, so no offset or length went astray.
void CheckDirectory(const std::string& file)
{
    const std::optional<DicomDirectory> directory = ReadDirectory(file);
    if (!directory)
        return;
    Require(directory->Bytes() == file, "a DICOMDIR is written back unchanged");
    const char* const explicitLittle = "1.2.840.10008.1.2.1";
    const std::string rewritten = WithSyntax(*directory, explicitLittle);
    const std::optional<DicomDirectory> again = ReadDirectory(rewritten);
    Require(again.has_value(), "a rewritten DICOMDIR reads");
    Require(again->FileRecords().size() == directory->FileRecords().size(), "a rewritten DICOMDIR keeps its records");
    for (size_t i = 0; i < again->FileRecords().size(); ++i) {
        const DirectoryFileRecord& before = directory->FileRecords()[i];
        const DirectoryFileRecord& after = again->FileRecords()[i];
        Require(after.fileId == before.fileId && after.recordType == before.recordType,
                "a rewritten record names the same file");
        Require(after.transferSyntax == (before.transferSyntax ? std::optional<std::string>(explicitLittle) : std::nullopt),
                "a rewritten record names the new syntax");
    }
    const std::optional<DicomDirectory> other = ReadDirectory(WithSyntax(*again, "1.2.840.10008.1.2.4.70"));
    Require(other.has_value(), "a DICOMDIR rewritten twice reads");
    Require(WithSyntax(*other, explicitLittle) == rewritten, "setting a syntax back gives the same bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string file = dicom_test::FuzzFile(data, size);
    const WholeFileVerdict verdict = Check(file);
    StrictSource source(file);
    const DicomHeader header = ReadDicomHeader(source);
    CheckHeaderAgrees(verdict, header, file.size());
    CheckEstimate(header, file.size());
    if (verdict == WholeFileVerdict::Whole)
        CheckCutsAndTails(file, header, data, size);
    CheckDirectory(file);
    return 0;
}
