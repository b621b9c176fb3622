#include "DicomTestFiles.h"
#include "check/RunOutcome.h"
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
