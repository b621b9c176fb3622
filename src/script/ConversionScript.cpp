#include "script/ConversionScript.h"
#include <utility>

void AppendBackslashIfMissing(std::wstring& folder)
{
    if (folder.empty() || folder.back() != L'\\')
        folder += L'\\';
}

std::wstring DoublePercentSigns(std::wstring_view text)
{
    std::wstring escaped;
    escaped.reserve(text.size() + 8);
    for (wchar_t ch : text) {
        escaped += ch;
        if (ch == L'%')
            escaped += L'%';
    }
    return escaped;
}

std::wstring ConversionLine(std::wstring_view inputFolder, std::wstring_view fileName,
                            std::wstring_view outputFolder)
{
    const std::wstring name = DoublePercentSigns(fileName);
    std::wstring line;
    line.reserve(2 * (inputFolder.size() + name.size()) + 16);
    line += kLineProgram;
    line += L" \"";
    line += DoublePercentSigns(inputFolder);
    line += name;
    line += L"\" \"";
    line += DoublePercentSigns(outputFolder);
    line += name;
    line += L"\"\n";
    return line;
}

ConversionScript::ConversionScript(std::wstring_view inputFolder, std::wstring outputFolder, Encoder encode)
    : m_outputFolder(std::move(outputFolder)), m_encode(std::move(encode))
{
    m_lineStart = kLineProgram + (L" \"" + DoublePercentSigns(inputFolder));
    m_lineMiddle = L"\" \"" + DoublePercentSigns(m_outputFolder);
    m_foldersEncoded = m_encode(m_lineStart, m_lineStartBytes) && m_encode(m_lineMiddle, m_lineMiddleBytes);
}

void ConversionScript::AddFile(std::wstring_view fileName, uint64_t size)
{
    AddFile(std::wstring_view(), fileName, size);
}

void ConversionScript::AddFile(std::wstring_view folder, std::wstring_view fileName, uint64_t size)
{
    std::wstring path(folder);
    path += fileName;
    std::optional<SkipReason> problem = FileNameProblem(fileName);
    if (!problem)
        problem = AppendLine(path);
    if (problem) {
        m_skipped.push_back({ std::move(path), *problem });
    } else {
        m_withLine.push_back(std::move(path));
        m_inputSizes.push_back(size);
    }
}

void ConversionScript::LeaveOut(std::wstring_view path, SkipReason reason)
{
    m_skipped.push_back({ std::wstring(path), reason });
}

// The same line as ConversionLine gives, with CR LF in place of the line feed.
std::optional<SkipReason> ConversionScript::AppendLine(std::wstring_view path)
{
    std::wstring doubled;
    std::wstring_view name = path;
    if (path.find(L'%') != std::wstring_view::npos) {
        doubled = DoublePercentSigns(path);
        name = doubled;
    }
    const size_t length = m_lineStart.size() + name.size() + m_lineMiddle.size() + name.size() + 1;
    if (length > kMaxLineLength)
        return SkipReason::LineTooLong;
    if (!m_foldersEncoded || !m_encode(name, m_nameBytes))
        return SkipReason::CodePage;
    // The interpreter reads a line of the file in bytes: in a double-byte
    // code page a line that fits in characters can overflow, and the rest of
    // it would be read as a command of its own.
    const size_t byteLength =
        m_lineStartBytes.size() + m_nameBytes.size() + m_lineMiddleBytes.size() + m_nameBytes.size() + 1;
    if (byteLength > kMaxLineLength)
        return SkipReason::LineTooLong;
    m_bytes += m_lineStartBytes;
    m_bytes += m_nameBytes;
    m_bytes += m_lineMiddleBytes;
    m_bytes += m_nameBytes;
    m_bytes += "\"\r\n";
    return std::nullopt;
}

void ConversionScript::MarkNotConverted(std::wstring_view fileName, SkipReason reason)
{
    m_skipped.push_back({ std::wstring(fileName), reason });
}

void ConversionScript::RestoreLine(std::wstring path, uint64_t size)
{
    m_withLine.push_back(std::move(path));
    m_inputSizes.push_back(size);
}

void ConversionScript::MarkNotReached(size_t firstLine)
{
    for (size_t line = firstLine; line < m_withLine.size(); ++line)
        m_skipped.push_back({ std::move(m_withLine[line]), SkipReason::NotReached });
    if (firstLine < m_withLine.size()) {
        m_withLine.resize(firstLine);
        m_inputSizes.resize(firstLine);
    }
}
