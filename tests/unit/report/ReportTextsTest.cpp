#include "report/ReportTexts.h"
#include <gtest/gtest.h>

TEST(ReportTexts, MessageGroupsByReasonWithCountsAndCutsLongGroups)
{
    std::vector<SkippedFile> skipped = {
        { L"bad1.dcm", SkipReason::NotConverted }, { L"a<b", SkipReason::ForbiddenCharacter },
        { L"bad2.dcm", SkipReason::NotConverted }, { L"bad3.dcm", SkipReason::NotConverted },
        { L"line\nfeed", SkipReason::ForbiddenCharacter }, { L"lost.dcm", SkipReason::OriginalOverwritten },
    };
    std::wstring message = SkippedFilesMessage(skipped, 2);
    // Lost originals come first: they need the user's action most.
    EXPECT_EQ(message,
              L"変換しなかったファイルが 6 件あります。\n"
              L"\n変換の途中で出力ファイルが途切れました（ディスクの空き容量不足など）。"
              L"入力フォルダと出力フォルダが同じため、元のファイルはこの途切れたファイルで上書きされています。"
              L"元のファイルを別の場所から戻してください（1 件）:"
              L"\n    lost.dcm\n"
              L"\nファイル名に使用できない文字（\" < > | * ? : または制御文字）が含まれています（2 件）:"
              L"\n    a<b\n    line\uFFFDfeed\n"
              L"\ndcmdjpeg が出力ファイルを書きませんでした（読み込めない、壊れている など）（3 件）:"
              L"\n    bad1.dcm\n    bad2.dcm\n    ほか 1 件\n");
}

TEST(ReportTexts, SizesAreShownRoundedUpInTheLargestFittingUnit)
{
    struct Case { uint64_t bytes; const wchar_t* shown; } const cases[] = {
        { 0, L"0 バイト" },
        { 1023, L"1023 バイト" },
        { 1024, L"1.0 KB" },
        { 1025, L"1.1 KB" },  // up, so that a need is never shown smaller
        { 5 * 1024 * 1024 + 1, L"5.1 MB" },
        { 3ull << 30, L"3.0 GB" },
        { UINT64_MAX, L"16.0 EB" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatByteSize(c.bytes), c.shown) << c.bytes;
    const std::wstring message = DiskSpaceShortMessage(5 << 20, 8 << 20, 1 << 20);
    EXPECT_NE(message.find(L"必要な空き容量: 13.0 MB（余裕分 8.0 MB を含む）"), std::wstring::npos);
    EXPECT_NE(message.find(L"現在の空き容量: 1.0 MB"), std::wstring::npos);
    EXPECT_NE(UnestimatedOutputsMessage(3).find(L" 3 件"), std::wstring::npos);
}

TEST(ReportTexts, FilesNoDicomdirRecordNamesAreCountedInOneLine)
{
    EXPECT_EQ(SkippedFilesMessage({}, 10, 3),
              L"DICOMDIR に記録されていないファイル（ビューアなど） 3 件は、変換もコピーもせず、そのままにしました。\n");
    const std::wstring both = SkippedFilesMessage({ { L"a\\IM1", SkipReason::CopiedUnchanged } }, 10, 2);
    EXPECT_EQ(both.find(L"変換しなかったファイルが 1 件あります。"), 0u);
    EXPECT_NE(both.find(L"    a\\IM1\n\nDICOMDIR に記録されていないファイル（ビューアなど） 2 件"), std::wstring::npos);
}
