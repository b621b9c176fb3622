#include "DicomTestFiles.h"
#include "convert/RunOutcome.h"
#include <gtest/gtest.h>

using namespace dicom_test;

TEST(RunOutcome, AMissingOutputIsExplainedByItsInput)
{
    struct Case { const char* what; std::string input; SkipReason reason; } const cases[] = {
        { "text", "this is not a DICOM file\r\n", SkipReason::NotDicom },
        { "empty", "", SkipReason::NotDicom },
        { "JPEG-LS", EncapsulatedImage("1.2.840.10008.1.2.4.80"), SkipReason::JpegLs },
        { "JPEG 2000", EncapsulatedImage("1.2.840.10008.1.2.4.90"), SkipReason::Jpeg2000 },
        { "RLE", EncapsulatedImage("1.2.840.10008.1.2.5"), SkipReason::Rle },
        { "deflate", FileStart("1.2.840.10008.1.2.1.99") + "deflated bytes", SkipReason::Deflate },
        // dcmdjpeg decodes these; why it wrote nothing is not in the input.
        { "JPEG baseline", EncapsulatedImage("1.2.840.10008.1.2.4.50"), SkipReason::NotConverted },
        { "uncompressed", SmallImage(kExplicitLittle), SkipReason::NotConverted },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReasonForMissingOutput(Header(c.input)), c.reason) << c.what;
}

TEST(RunOutcome, ACutOutputSaysWhetherItsOriginalWasReplaced)
{
    EXPECT_EQ(ReasonForIncompleteOutput(false), SkipReason::OutputIncomplete);
    EXPECT_EQ(ReasonForIncompleteOutput(true), SkipReason::OriginalOverwritten);
}

TEST(RunOutcome, AWrittenOutputIsJudgedByItsCheckAndWhatItsInputHeld)
{
    using V = WholeFileVerdict;
    const std::optional<bool> unknown;
    const struct Case {
        const char* what;
        WholeFileVerdict verdict;
        std::optional<bool> inputHadPixelData;
        bool replacedOriginal;
        std::optional<SkipReason> reason;
    } cases[] = {
        { "whole image", V::Whole, true, false, std::nullopt },
        { "whole report from a report", V::NoPixelData, false, true, std::nullopt },
        { "image cut before its pixel data", V::NoPixelData, true, false, SkipReason::OutputIncomplete },
        { "same, in place", V::NoPixelData, true, true, SkipReason::OriginalOverwritten },
        { "no pixel data, input not read", V::NoPixelData, unknown, false, SkipReason::OutputIncomplete },
        { "cut inside an element", V::ElementCut, false, true, SkipReason::OriginalOverwritten },
        { "held by another program", V::ReadFailed, true, false, SkipReason::OutputUnchecked },
        { "held, in place", V::ReadFailed, true, true, SkipReason::OutputUnchecked },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReasonForWrittenOutput(c.verdict, c.inputHadPixelData, c.replacedOriginal), c.reason) << c.what;
}

TEST(RunOutcome, RoomNeededIsTheClustersAnOutputAddsOverTheFileItReplaces)
{
    constexpr uint64_t k = 1024;
    const struct Case {
        uint64_t output, replaced, cluster, needed;
    } cases[] = {
        { 1000, 0, 1, 1000 },                 // no rounding
        { 1000, 300, 1, 700 },                // replacing its compressed original
        { 300, 1000, 1, 0 },                  // a smaller output gives room back, never a negative need
        { 1000, 0, 4 * k, 4 * k },            // a new output takes whole clusters
        { 250 * k, 34 * k, 128 * k, 128 * k },  // exFAT: two clusters where one was
        { 100 * k, 34 * k, 128 * k, 0 },        // grows within its cluster
        { 257 * k, 0, 128 * k, 384 * k },
        { 128 * k, 0, 128 * k, 128 * k },       // exactly whole
        { UINT64_MAX, 0, 4 * k, UINT64_MAX },   // too large to round: as it is
    };
    for (const Case& c : cases)
        EXPECT_EQ(RoomNeeded(c.output, c.replaced, c.cluster), c.needed) << c.output << " over " << c.replaced;
}

TEST(RunOutcome, TheMarginIsOnePercentAndAtLeastEightMebibytesOfANeed)
{
    EXPECT_EQ(RoomMargin(0), 0u);  // outputs that need no room are never refused for the margin
    EXPECT_EQ(RoomMargin(1), 8u << 20);
    EXPECT_EQ(RoomMargin(800ull << 20), 8u << 20);
    EXPECT_EQ(RoomMargin(1000ull << 20), 10ull << 20);
    EXPECT_EQ(RoomMargin(100000000001ull), 1000000001ull);  // rounded up
}

TEST(RunOutcome, SizesAreShownRoundedUpInTheLargestFittingUnit)
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
