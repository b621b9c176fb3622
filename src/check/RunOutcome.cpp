#include "check/RunOutcome.h"

SkipReason ReasonForMissingOutput(const DicomHeader& input)
{
    if (!input.isDicom)
        return input.readFailed ? SkipReason::NotConverted : SkipReason::NotDicom;
    switch (input.kind) {
    case TransferSyntaxKind::JpegLs:
        return SkipReason::JpegLs;
    case TransferSyntaxKind::Jpeg2000:
        return SkipReason::Jpeg2000;
    case TransferSyntaxKind::Rle:
        return SkipReason::Rle;
    case TransferSyntaxKind::Deflate:
        return SkipReason::Deflate;
    default:
        return SkipReason::NotConverted;
    }
}

SkipReason ReasonForIncompleteOutput(bool replacedOriginal)
{
    return replacedOriginal ? SkipReason::OriginalOverwritten : SkipReason::OutputIncomplete;
}

std::optional<SkipReason> ReasonForWrittenOutput(WholeFileVerdict verdict, std::optional<bool> inputHadPixelData,
                                                 bool replacedOriginal)
{
    switch (verdict) {
    case WholeFileVerdict::Whole:
        return std::nullopt;
    case WholeFileVerdict::ReadFailed:
        return SkipReason::OutputUnchecked;
    case WholeFileVerdict::NoPixelData:
        if (inputHadPixelData == false)
            return std::nullopt;
        break;
    default:
        break;
    }
    return ReasonForIncompleteOutput(replacedOriginal);
}
