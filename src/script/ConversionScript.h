#pragma once
// The conversion script: one dcmdjpeg line per file of the input folder, as
// the bytes of uncompress.bat. Plain C++; the caller supplies the encoder of
// the code page the interpreter reads the batch file in.
#include "script/NameChecks.h"
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The program each line runs, as the line names it, and the file the
// interpreter finds for that name.
constexpr wchar_t kLineProgram[] = L"dcmdjpeg";
constexpr wchar_t kLineProgramFile[] = L"dcmdjpeg.exe";

// Appends a backslash to a folder path that does not end in one. Callers
// report an empty path before this; it would become a lone backslash.
void AppendBackslashIfMissing(std::wstring& folder);

// The command interpreter expands %...% inside a batch file even between
// quotes; a doubled % reaches the command as one.
std::wstring DoublePercentSigns(std::wstring_view text);

// dcmdjpeg "<input folder><name>" "<output folder><name>" and a line feed.
// Both folders end in a backslash.
std::wstring ConversionLine(std::wstring_view inputFolder, std::wstring_view fileName,
                            std::wstring_view outputFolder);

// The longest line the interpreter reads whole (its limit is 8191 characters;
// Wine's cmd reads at most 8192 bytes), in characters and in encoded bytes.
constexpr size_t kMaxLineLength = 8190;

class ConversionScript {
public:
    // Writes the text in the batch file's code page; false when some character
    // has no exact form there, or would not reach dcmdjpeg unchanged.
    using Encoder = std::function<bool(std::wstring_view text, std::string& bytes)>;

    // Both folders end in a backslash and passed IsSafeFolderText.
    ConversionScript(std::wstring_view inputFolder, std::wstring outputFolder, Encoder encode);

    // Adds the line for one file, or notes why the file gets none; size is
    // the file's as its folder listed it.
    void AddFile(std::wstring_view fileName, uint64_t size = kSizeUnknown);
    // The same for a file in a subfolder: folder is its path below the input
    // folder, ending in a backslash, made of names that passed
    // FileNameProblem; the file is known by folder and name together, and
    // its output goes to the same path below the output folder.
    void AddFile(std::wstring_view folder, std::wstring_view fileName, uint64_t size);
    // Adds a line of an earlier run as its journal recorded it (a path below
    // the input folder and the file's size): the file counts as having a
    // line; no batch text is made.
    void RestoreLine(std::wstring path, uint64_t size);
    // Notes a file, or a folder with everything in it, that gets no line for
    // a reason found before the run.
    void LeaveOut(std::wstring_view path, SkipReason reason);
    // Notes a file whose line was written but which was not converted.
    void MarkNotConverted(std::wstring_view fileName, SkipReason reason = SkipReason::NotConverted);
    // After a stop: notes the files of the lines from firstLine on, which the
    // run never reached; they leave FilesWithLine, so that the check of the
    // outputs passes over them.
    void MarkNotReached(size_t firstLine);

    // The content of uncompress.bat: the lines with CR LF ends.
    const std::string& Bytes() const { return m_bytes; }
    // The files that have a line, in the order of the lines (after a stop,
    // those the run reached).
    const std::vector<std::wstring>& FilesWithLine() const { return m_withLine; }
    // The size of each file with a line, in the same order; kSizeUnknown
    // when none was given.
    const std::vector<uint64_t>& InputSizes() const { return m_inputSizes; }
    static constexpr uint64_t kSizeUnknown = UINT64_MAX;
    const std::vector<SkippedFile>& Skipped() const { return m_skipped; }
    // Gives a noted file another reason, once more is known of it.
    void ChangeReason(size_t skipped, SkipReason reason) { m_skipped.at(skipped).reason = reason; }
    const std::wstring& OutputFolder() const { return m_outputFolder; }

private:
    std::optional<SkipReason> AppendLine(std::wstring_view path);

    std::wstring m_outputFolder;
    Encoder m_encode;
    // The line is built from encoded pieces: the code pages are stateless, so
    // the pieces' bytes put together are the line's bytes. The folders are
    // encoded once; per file only the name is.
    std::wstring m_lineStart;   // dcmdjpeg "<input folder>
    std::wstring m_lineMiddle;  // " "<output folder>
    std::string m_lineStartBytes;
    std::string m_lineMiddleBytes;
    bool m_foldersEncoded = false;
    std::string m_bytes;
    std::string m_nameBytes;
    std::vector<std::wstring> m_withLine;
    std::vector<uint64_t> m_inputSizes;
    std::vector<SkippedFile> m_skipped;
};
