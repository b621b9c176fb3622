#pragma once
// The conversion script: one dcmdjpeg line per file of the input folder,
// each ended by a line feed. Plain C++; the caller decides which lines can be
// written faithfully to the batch file.
#include <functional>
#include <string>
#include <vector>

// Appends a backslash to a folder path that does not end in one. Callers
// report an empty path before this; it would become a lone backslash.
void AppendBackslashIfMissing(std::wstring& folder);

// The command interpreter expands %...% inside a batch file even between
// quotes; a doubled % reaches the command as one.
std::wstring DoublePercentSigns(const std::wstring& text);

// dcmdjpeg "<input folder><name>" "<output folder><name>" and a line feed.
// Both folders end in a backslash.
std::wstring ConversionLine(const std::wstring& inputFolder, const std::wstring& fileName,
                            const std::wstring& outputFolder);

class ConversionScript {
public:
    // Whether a line can be written to the batch file without changing it.
    using LineCheck = std::function<bool(const std::wstring& line)>;

    ConversionScript(std::wstring inputFolder, std::wstring outputFolder, LineCheck canWrite);

    // Adds the line for one file, or notes the file as left out when its line
    // cannot be written faithfully.
    void AddFile(const std::wstring& fileName);

    const std::wstring& Text() const { return m_text; }
    const std::vector<std::wstring>& LeftOutFiles() const { return m_leftOut; }

private:
    std::wstring m_inputFolder;
    std::wstring m_outputFolder;
    LineCheck m_canWrite;
    std::wstring m_text;
    std::vector<std::wstring> m_leftOut;
};

// The message that tells the user which files were left out and why; at most
// maxNames names are listed, the rest are counted.
std::wstring LeftOutFilesMessage(const std::vector<std::wstring>& names, size_t maxNames = 20);
