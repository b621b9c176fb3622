#include "check/AfterRunCheck.h"
#include "check/RunOutcome.h"
#include "dicom/FileByteSource.h"
#include "gather/Folders.h"
#include "run/LineProgress.h"
#include <algorithm>

void MarkFilesNotReached(ConversionScript& script, const RunBaseline& baseline, size_t reached,
                         std::optional<size_t> linesStarted)
{
    const size_t lines = script.FilesWithLine().size();
    const LineProgress::OutputWritten written = [&baseline](size_t line) { return baseline.OutputWritten(line); };
    // A line whose output was seen was started, whatever the count says.
    const size_t firstNotReached =
        linesStarted ? std::max(*linesStarted, reached) : FirstLineNotReached(lines, reached, written);
    script.MarkNotReached(std::min(firstNotReached, lines));
}

namespace {

// Calls visit(line, name, inputPath, outputPath) for every file with a line.
template <typename Visit>
void ForEachFileWithLine(const ConversionScript& script, const CString& inputFolder, Visit visit)
{
    std::wstring input = inputFolder.Str(), output = script.OutputFolder();
    const size_t inputLength = input.size(), outputLength = output.size();
    const std::vector<std::wstring>& names = script.FilesWithLine();
    for (size_t line = 0; line < names.size(); ++line) {
        input.resize(inputLength);
        input += names[line];
        output.resize(outputLength);
        output += names[line];
        visit(line, names[line], input, output);
    }
}

// What the output's check finds; an output that cannot be opened is not read.
WholeFileVerdict CheckOutput(const std::wstring& output)
{
    FileByteSource source(output);
    return source.IsOpen() ? CheckWholeUncompressed(source) : WholeFileVerdict::ReadFailed;
}

// Why dcmdjpeg wrote no output for the line, from its input; a file too
// small to be DICOM is not opened for it.
SkipReason ReasonFromInput(const RunBaseline& baseline, size_t line, const std::wstring& input)
{
    if (baseline.InputTooSmallForDicom(line))
        return SkipReason::NotDicom;
    FileByteSource source(input);
    return source.IsOpen() ? ReasonForMissingOutput(ReadDicomHeader(source)) : SkipReason::NotConverted;
}

}  // namespace

void MarkFilesNotConverted(ConversionScript& script, const CString& inputFolder, const RunBaseline& baseline,
                           WorkProgress* progress)
{
    std::vector<SkippedFile> notConverted;
    if (progress)
        progress->total = script.FilesWithLine().size();
    ForEachFileWithLine(script, inputFolder, [&](size_t line, const std::wstring& name, const std::wstring& input,
                                                 const std::wstring& output) {
        if (progress)
            progress->Step();
        if (!baseline.OutputWritten(line)) {
            notConverted.push_back({ name, ReasonFromInput(baseline, line, input) });
            return;
        }
        // Whether the output replaced its input costs two opens: asked only
        // of an output that is not whole.
        const WholeFileVerdict verdict = CheckOutput(output);
        std::optional<SkipReason> reason = ReasonForWrittenOutput(verdict, baseline.InputHadPixelData(line), false);
        if (reason == SkipReason::OutputIncomplete)
            reason = ReasonForWrittenOutput(verdict, baseline.InputHadPixelData(line), SameFile(input, output));
        if (reason)
            notConverted.push_back({ name, *reason });
    });
    for (const SkippedFile& file : notConverted)
        script.MarkNotConverted(file.name, file.reason);
}
