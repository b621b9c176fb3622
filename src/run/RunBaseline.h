#pragma once
// What a run's outputs and inputs were before it started. The progress, the
// check after the run and the stop's "not reached" all ask OutputWritten, the
// one test of whether the run wrote a line's output (see OutputState.h: no
// clock is compared with a file system's stamps). Each input's header is read
// once, here: whether it held pixel data (with both folders one, the output
// replaces it) and the size its output is expected to have, for the room
// check.
#include "afx/afx.h"
#include "script/ConversionScript.h"
#include "run/OutputState.h"
#include "run/WorkProgress.h"
#include <optional>
#include <string>
#include <vector>

class RunBaseline {
public:
    // What was read of a line's input before the run.
    struct Input {
        std::optional<bool> hasPixelData;
        std::optional<uint64_t> outputSize;
        bool tooSmallForDicom = false;
    };

    // Lists each output folder once (never a look-up per missing name, which
    // costs a scan of a large folder on some systems) and reads each input's
    // header. Taken before the interpreter starts (an output folder not made
    // yet holds no output); the script must outlive it. With progress, counts
    // the files and ends early when a stop is asked: the baseline is then
    // not to be used.
    RunBaseline(const ConversionScript& script, const std::wstring& inputFolder, WorkProgress* progress = nullptr);
    // A baseline as an earlier run recorded it (see RunJournal), one entry
    // per line of the script.
    RunBaseline(const ConversionScript& script, std::vector<FileState> outputs, std::vector<Input> inputs);
    RunBaseline(const RunBaseline&) = delete;
    RunBaseline& operator=(const RunBaseline&) = delete;

    // Whether the output of the line has been written since the baseline:
    // one look-up of the file, and an open only when its size and stamp are
    // those recorded.
    bool OutputWritten(size_t line) const;
    // The same, nothing when the output could not be looked up (a failure
    // other than "not found": a network blip, access denied).
    std::optional<bool> OutputWrittenIfKnown(size_t line) const;
    // The output folder whose listing ended on an error: the baseline is not
    // whole, and nothing is to run.
    const std::optional<std::wstring>& ListingFailed() const { return m_listingFailed; }
    size_t Lines() const { return m_outputs.size(); }
    // The line's output as it was before the run.
    const FileState& OutputBefore(size_t line) const { return m_outputs.at(line); }
    // Whether the line's input held pixel data; absent when it could not tell.
    std::optional<bool> InputHadPixelData(size_t line) const { return m_inputs.at(line).hasPixelData; }
    // The most the line's output can take (see EstimatedOutputSize); absent
    // when no bound could be had.
    std::optional<uint64_t> OutputSizeExpected(size_t line) const { return m_inputs.at(line).outputSize; }
    // Whether the line's input, as its folder listed it, was too small to be
    // a DICOM file; such a file is never opened.
    bool InputTooSmallForDicom(size_t line) const { return m_inputs.at(line).tooSmallForDicom; }
    const Input& InputBefore(size_t line) const { return m_inputs.at(line); }

private:
    static Input ReadInput(const std::wstring& path, uint64_t listedSize);
    std::wstring OutputPath(size_t line) const;

    const ConversionScript& m_script;
    std::optional<std::wstring> m_listingFailed;
    std::vector<FileState> m_outputs;
    std::vector<Input> m_inputs;
};

// The state of the file at path now: its size and stamp; absent only when
// the look-up says "not found".
FileState CurrentFileState(const std::wstring& path);
