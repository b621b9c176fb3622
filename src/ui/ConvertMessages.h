#pragma once
// The message boxes of the batch-convert button.
#include <windows.h>

struct ConvertMessage {
    const wchar_t* text;
    const wchar_t* caption;
    UINT type;
};

constexpr ConvertMessage kInputFolderMissing = {
    L"入力フォルダがないため、処理を続行できません",
    L"入力フォルダがありません",
    MB_OK | MB_ICONINFORMATION,
};

constexpr ConvertMessage kOutputFolderNotGiven = {
    L"出力フォルダが指定されていないため、処理を続行できません",
    L"出力フォルダが指定されていません",
    MB_OK | MB_ICONINFORMATION,
};

constexpr ConvertMessage kCreateOutputFolder = {
    L"出力フォルダがありません。新規作成して処理を続行しますか？",
    L"出力フォルダがありません",
    MB_YESNO | MB_ICONINFORMATION,
};

constexpr ConvertMessage kOutputFolderNotCreated = {
    L"出力用フォルダを作成できませんでした。フォルダ名に不正な文字列が含まれている可能性があります。",
    L"出力フォルダを作成できません",
    MB_OK | MB_ICONINFORMATION,
};

// The input folder's subfolders hold files, and it is no file-set: whether
// they are converted too, at the same paths below the output folder.
constexpr ConvertMessage kConvertSubfolders = {
    L"入力フォルダの中のフォルダ（サブフォルダ）にもファイルがあります。\n\n"
    L"サブフォルダの中のファイルも変換しますか？\n\n"
    L"［はい］サブフォルダの中のファイルも、同じフォルダ構成で出力フォルダに変換します。\n"
    L"［いいえ］入力フォルダの直下のファイルだけを変換します。",
    L"サブフォルダも変換しますか",
    MB_YESNO | MB_ICONQUESTION,
};

// A folder text that would break the batch file's line.
constexpr ConvertMessage kInputFolderTextUnsafe = {
    L"入力フォルダ名に使用できない文字（\" または制御文字）が含まれているため、処理を続行できません",
    L"入力フォルダ名が正しくありません",
    MB_OK | MB_ICONINFORMATION,
};

constexpr ConvertMessage kOutputFolderTextUnsafe = {
    L"出力フォルダ名に使用できない文字（\" または制御文字）が含まれているため、処理を続行できません",
    L"出力フォルダ名が正しくありません",
    MB_OK | MB_ICONINFORMATION,
};

// The interpreter would find no dcmdjpeg: the handler adds where it looked.
constexpr ConvertMessage kLineProgramMissing = {
    L"dcmdjpeg.exe が見つからないため、変換を始めませんでした。"
    L"Parvane の zip に入っている dcmdjpeg.exe を、作業フォルダ（Parvane.exe を起動したときのフォルダ）に置いてください。"
    L"ウイルス対策ソフトが dcmdjpeg.exe を隔離していないかも確かめてください。\n\n探した場所:",
    L"dcmdjpeg.exe がありません",
    MB_OK | MB_ICONWARNING,
};

// No line of the run started dcmdjpeg (quarantined or blocked after the
// check before the run, say): the handler adds where it was looked for.
constexpr ConvertMessage kLineProgramNotStarted = {
    L"dcmdjpeg.exe を起動できなかったため、ファイルを一つも変換できませんでした。ファイルには問題ありません。"
    L"ウイルス対策ソフトが dcmdjpeg.exe を隔離していないか、ポリシーで禁止されていないか、"
    L"dcmdjpeg.exe が壊れていないかを確かめてから、もう一度［一括変換］を押してください。\n\n探した場所:",
    L"dcmdjpeg.exe を起動できません",
    MB_OK | MB_ICONWARNING,
};

// A folder's listing ended on an error before its end: the handler adds the
// folder. Nothing has been written.
constexpr ConvertMessage kListingFailed = {
    L"フォルダの中身を最後まで読み取れませんでした（ネットワークの一時的な不調、アクセスの拒否 など）。"
    L"何も変換していません。しばらくしてから、もう一度お試しください。\n\n",
    L"フォルダを読み取れません",
    MB_OK | MB_ICONWARNING,
};

// Another Parvane's run in the same working folder holds uncompress.bat; the
// handler adds the file's path.
constexpr ConvertMessage kBatchFileInUse = {
    L"別の一括変換が、この作業フォルダの uncompress.bat を使用しています。"
    L"その変換が終わってから、もう一度お試しください。",
    L"一括変換を開始できません",
    MB_OK | MB_ICONINFORMATION,
};

// After the run: the files left out or not converted (the text lists them).
constexpr const wchar_t* kSkippedFilesCaption = L"変換しなかったファイルがあります";
constexpr UINT kSkippedFilesType = MB_OK | MB_ICONWARNING;

// At a start or a click after a run that did not finish (the text, from
// UnfinishedRunMessage, tells what it left).
constexpr const wchar_t* kUnfinishedRunCaption = L"前回の一括変換が終わっていません";
constexpr UINT kUnfinishedRunType = MB_OK | MB_ICONWARNING;

// Before the run: the outputs would not fit on the output folder's disk (the
// text gives both sizes).
constexpr const wchar_t* kDiskSpaceShortCaption = L"空き容量が足りません";
constexpr UINT kDiskSpaceShortType = MB_OK | MB_ICONWARNING;

// Before the run: the free space of the output folder's disk could not be
// asked. A question; its default is No when both folders are one.
constexpr const wchar_t* kFreeSpaceUnknown =
    L"出力フォルダのあるディスクの空き容量を調べられませんでした"
    L"（出力フォルダを作業フォルダからの相対パスで指定した場合など）。\n\n"
    L"空き容量が足りないと出力ファイルは途中で途切れ、入力フォルダと出力フォルダが同じ場合は"
    L"元のファイルが失われます。\n\nこのまま変換しますか？";
constexpr const wchar_t* kFreeSpaceUnknownCaption = L"空き容量を確認できません";

// Before the run: some outputs' size could not be estimated (the text, from
// UnestimatedOutputsMessage, gives their count). A question, as above.
constexpr const wchar_t* kUnestimatedOutputsCaption = L"出力ファイルの大きさがわかりません";

constexpr UINT kGoOnQuestionType = MB_YESNO | MB_ICONWARNING;

// What the progress window shows before and after the conversion.
constexpr const wchar_t* kPreparingPhase = L"準備中: 入力フォルダのファイルを調べています…";
constexpr const wchar_t* kCheckingPhase = L"確認中: 出力ファイルを確かめています…";
constexpr const wchar_t* kFilesFoundWord = L"見つかったファイル";
constexpr const wchar_t* kFilesLookedAtWord = L"調べたファイル";
constexpr const wchar_t* kFilesCheckedWord = L"確かめたファイル";
