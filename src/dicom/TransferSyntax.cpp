#include "dicom/DicomStructure.h"
#include "dicom/ElementReading.h"

using dicom_detail::StripPadding;

TransferSyntaxKind ClassifyTransferSyntax(std::string_view uid)
{
    uid = StripPadding(uid);
    constexpr std::string_view kRoot = "1.2.840.10008.1.2";
    if (uid.substr(0, kRoot.size()) != kRoot)
        return TransferSyntaxKind::Other;
    const std::string_view rest = uid.substr(kRoot.size());
    if (rest.empty() || rest == ".1" || rest == ".2")
        return TransferSyntaxKind::Uncompressed;
    if (rest == ".1.99")
        return TransferSyntaxKind::Deflate;
    if (rest == ".5")
        return TransferSyntaxKind::Rle;
    constexpr std::string_view kImage = ".4.";
    if (rest.substr(0, kImage.size()) != kImage)
        return TransferSyntaxKind::Other;
    const std::string_view process = rest.substr(kImage.size());
    for (std::string_view decoded : { "50", "51", "53", "55", "57", "70" }) {
        if (process == decoded)
            return TransferSyntaxKind::Jpeg;
    }
    for (std::string_view retired : { "52", "54", "56", "58", "59", "60", "61", "62", "63", "64", "65", "66" }) {
        if (process == retired)
            return TransferSyntaxKind::JpegOther;
    }
    if (process == "80" || process == "81")
        return TransferSyntaxKind::JpegLs;
    for (std::string_view j2k : { "90", "91", "92", "93", "201", "202", "203" }) {
        if (process == j2k)
            return TransferSyntaxKind::Jpeg2000;
    }
    return TransferSyntaxKind::Other;
}

const char* TransferSyntaxKindName(TransferSyntaxKind kind)
{
    switch (kind) {
    case TransferSyntaxKind::Uncompressed: return "uncompressed";
    case TransferSyntaxKind::Jpeg: return "JPEG";
    case TransferSyntaxKind::JpegOther: return "JPEG (not decoded)";
    case TransferSyntaxKind::JpegLs: return "JPEG-LS";
    case TransferSyntaxKind::Jpeg2000: return "JPEG 2000";
    case TransferSyntaxKind::Rle: return "RLE";
    case TransferSyntaxKind::Deflate: return "deflate";
    case TransferSyntaxKind::Other: return "other";
    }
    return "?";
}
