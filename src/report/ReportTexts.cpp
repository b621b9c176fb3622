#include "report/ReportTexts.h"

namespace {

const wchar_t* ReasonHeading(SkipReason reason)
{
    switch (reason) {
    case SkipReason::ForbiddenCharacter:
        return L"ファイル名に使用できない文字（\" < > | * ? : または制御文字）が含まれています";
    case SkipReason::TrailingDotOrSpace:
        return L"ファイル名がピリオドまたは空白で終わっています";
    case SkipReason::DeviceName:
        return L"ファイル名がデバイス名（CON、NUL、COM1 など）です";
    case SkipReason::CodePage:
        return L"フォルダ名またはファイル名に、この Windows の文字コードで表せない文字が含まれています";
    case SkipReason::LineTooLong:
        return L"フォルダ名とファイル名が長すぎます";
    case SkipReason::PathTooLong:
        return L"フォルダ名とファイル名を合わせたパスが 260 文字以上あり、dcmdjpeg が開けません";
    case SkipReason::SameNameButCase:
        return L"大文字と小文字だけが違う名前のファイルが先にあります。Windows では出力ファイルが同じになるため、"
               L"後のファイルは変換していません";
    case SkipReason::DicomdirUnreadable:
        return L"DICOMDIR として読み取れませんでした。変換もコピーもせず、ほかのファイルはフォルダごとに変換しました";
    case SkipReason::ListedFileMissing:
        return L"DICOMDIR に記録されていますが、入力フォルダにありません（DICOMDIR の記録はそのまま残しました）";
    case SkipReason::DicomdirNotWritten:
        return L"DICOMDIR を書き換えられませんでした（書き込めない、使用中 など）。"
               L"DICOMDIR に記録された転送構文が、変換後のファイルと合っていません";
    case SkipReason::CopiedUnchanged:
        return L"dcmdjpeg で展開できなかったため、DICOMDIR の記録どおりになるよう、元のファイルをそのまま出力フォルダにコピーしました";
    case SkipReason::OriginalOverwritten:
        return L"変換の途中で出力ファイルが途切れました（ディスクの空き容量不足など）。"
               L"入力フォルダと出力フォルダが同じため、元のファイルはこの途切れたファイルで上書きされています。"
               L"元のファイルを別の場所から戻してください";
    case SkipReason::OutputIncomplete:
        return L"変換の途中で出力ファイルが途切れました（ディスクの空き容量不足など）。出力ファイルは使えません";
    case SkipReason::OutputUnchecked:
        return L"出力ファイルは書かれましたが、ほかのプログラム（ウイルス対策ソフトや同期ソフトなど）が使用中のため読み取れず、"
               L"変換できたかを確認できませんでした。出力ファイルを確認してください";
    case SkipReason::OutputNotLookedUp:
        return L"変換のあと、出力ファイルを確かめられませんでした（ネットワークの一時的な不調、アクセスの拒否 など）。"
               L"変換できたかどうか、出力ファイルを確認してください";
    case SkipReason::NotDicom:
        return L"DICOM ファイルではありません";
    case SkipReason::JpegLs:
        return L"JPEG-LS で圧縮されています。dcmdjpeg では展開できません";
    case SkipReason::Jpeg2000:
        return L"JPEG 2000 で圧縮されています。dcmdjpeg では展開できません";
    case SkipReason::Rle:
        return L"RLE で圧縮されています。dcmdjpeg では展開できません";
    case SkipReason::Deflate:
        return L"deflate で圧縮されています。dcmdjpeg では展開できません";
    case SkipReason::NotConverted:
        return L"dcmdjpeg が出力ファイルを書きませんでした（読み込めない、壊れている など）";
    case SkipReason::LineProgramNotStarted:
        return L"dcmdjpeg.exe を起動できなかったため、変換していません（dcmdjpeg.exe が見つからない、"
               L"ウイルス対策ソフトに隔離された、ポリシーで禁止されている など）。ファイルには問題ありません";
    case SkipReason::AddedDuringRun:
        return L"変換中に入力フォルダに加わったファイルです。変換していません（もう一度［一括変換］を押してください）";
    case SkipReason::NotReached:
        return L"中止したため変換していません";
    }
    return L"";
}

// A name as a box can show it: characters below U+0020 as the replacement
// character, so that a line feed in a name cannot look like another name.
std::wstring ForDisplay(const std::wstring& name)
{
    std::wstring shown = name;
    for (wchar_t& ch : shown) {
        if (ch < L' ')
            ch = L'\uFFFD';
    }
    return shown;
}

// Lost originals first: they need the user's action most.
constexpr SkipReason kReasonsInOrder[] = {
    SkipReason::OriginalOverwritten, SkipReason::OutputIncomplete,   SkipReason::OutputUnchecked,
    SkipReason::OutputNotLookedUp,   SkipReason::DicomdirNotWritten, SkipReason::LineProgramNotStarted,
    SkipReason::ForbiddenCharacter,
    SkipReason::TrailingDotOrSpace,  SkipReason::DeviceName,         SkipReason::CodePage,
    SkipReason::LineTooLong,         SkipReason::PathTooLong,        SkipReason::SameNameButCase,
    SkipReason::DicomdirUnreadable,  SkipReason::ListedFileMissing,  SkipReason::NotDicom,
    SkipReason::JpegLs,              SkipReason::Jpeg2000,           SkipReason::Rle,
    SkipReason::Deflate,             SkipReason::NotConverted,       SkipReason::CopiedUnchanged,
    SkipReason::NotReached,          SkipReason::AddedDuringRun,
};

}  // namespace

std::wstring SkippedFilesMessage(const std::vector<SkippedFile>& skipped, size_t maxNamesPerReason,
                                size_t filesLeftAsTheyAre)
{
    std::wstring message;
    if (!skipped.empty())
        message = L"変換しなかったファイルが " + std::to_wstring(skipped.size()) + L" 件あります。\n";
    for (SkipReason reason : kReasonsInOrder) {
        size_t count = 0;
        std::wstring names;
        for (const SkippedFile& file : skipped) {
            if (file.reason != reason)
                continue;
            if (count++ < maxNamesPerReason)
                names += L"\n    " + ForDisplay(file.name);
        }
        if (count == 0)
            continue;
        message += L"\n" + std::wstring(ReasonHeading(reason)) + L"（" + std::to_wstring(count) + L" 件）:" + names;
        if (count > maxNamesPerReason)
            message += L"\n    ほか " + std::to_wstring(count - maxNamesPerReason) + L" 件";
        message += L"\n";
    }
    if (filesLeftAsTheyAre > 0) {
        if (!message.empty())
            message += L"\n";
        message += L"DICOMDIR に記録されていないファイル（ビューアなど） " + std::to_wstring(filesLeftAsTheyAre) +
                   L" 件は、変換もコピーもせず、そのままにしました。\n";
    }
    return message;
}

std::wstring UnfinishedRunMessage(const std::wstring& inputFolder, const std::wstring& outputFolder, size_t converted,
                                  const std::vector<SkippedFile>& notConverted, size_t maxNamesPerReason)
{
    return L"前回の一括変換は、最後まで終わる前に中断されました（強制終了、再起動、停電 など）。"
           L"そのとき残ったものを、出力ファイルを確かめてお知らせします。\n\n"
           L"入力フォルダ: " + ForDisplay(inputFolder) + L"\n"
           L"出力フォルダ: " + ForDisplay(outputFolder) + L"\n"
           L"変換できたファイル: " + std::to_wstring(converted) + L" 件\n\n" +
           SkippedFilesMessage(notConverted, maxNamesPerReason);
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
