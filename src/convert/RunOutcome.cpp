#include "convert/RunOutcome.h"

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

namespace {

// The size rounded up to whole clusters; a size too large to round stays as it is.
uint64_t WholeClusters(uint64_t size, uint64_t clusterSize)
{
    if (clusterSize <= 1 || size % clusterSize == 0 || size > UINT64_MAX - clusterSize)
        return size;
    return size - size % clusterSize + clusterSize;
}

}  // namespace

uint64_t RoomNeeded(uint64_t estimatedOutputSize, uint64_t sizeOfFileReplaced, uint64_t clusterSize)
{
    const uint64_t output = WholeClusters(estimatedOutputSize, clusterSize);
    const uint64_t replaced = WholeClusters(sizeOfFileReplaced, clusterSize);
    return output > replaced ? output - replaced : 0;
}

uint64_t RoomMargin(uint64_t needed)
{
    if (needed == 0)
        return 0;
    const uint64_t onePercent = needed / 100 + (needed % 100 != 0);
    return onePercent > kMinimumRoomMargin ? onePercent : kMinimumRoomMargin;
}

std::wstring FormatByteSize(uint64_t bytes)
{
    if (bytes < 1024)
        return std::to_wstring(bytes) + L" バイト";
    const wchar_t* units[] = { L"KB", L"MB", L"GB", L"TB", L"PB", L"EB" };
    // Tenths of the unit, rounded up. The largest unit is 2^60 bytes, so the
    // rest times 10 stays within 64 bits.
    size_t unit = 0;
    uint64_t scale = 1024;
    while (unit + 1 < sizeof(units) / sizeof(units[0]) && bytes / scale >= 1024) {
        scale *= 1024;
        ++unit;
    }
    const uint64_t whole = bytes / scale, rest = bytes % scale;
    const uint64_t tenths = whole * 10 + (rest * 10 + scale - 1) / scale;
    return std::to_wstring(tenths / 10) + L"." + std::to_wstring(tenths % 10) + L" " + units[unit];
}

std::wstring DiskSpaceShortMessage(uint64_t needed, uint64_t margin, uint64_t available)
{
    return L"出力フォルダのあるディスクの空き容量が足りないため、変換を始めませんでした。\n\n"
           L"必要な空き容量: " + FormatByteSize(needed + margin) + L"（余裕分 " + FormatByteSize(margin) + L" を含む）\n"
           L"現在の空き容量: " + FormatByteSize(available) + L"\n\n"
           L"空き容量を増やすか、別のディスクの出力フォルダを指定してください。";
}

std::wstring UnestimatedOutputsMessage(size_t count)
{
    return L"入力ファイルのうち " + std::to_wstring(count) +
           L" 件は、DICOM のヘッダーを読み取れなかったため、出力ファイルの大きさを見積もれませんでした。"
           L"これらの出力ファイルは空き容量の確認に含まれていません。\n\n"
           L"空き容量が足りないと出力ファイルは途中で途切れ、入力フォルダと出力フォルダが同じ場合は"
           L"元のファイルが失われます。\n\nこのまま変換しますか？";
}
