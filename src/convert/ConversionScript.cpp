#include "convert/ConversionScript.h"
#include <utility>

void AppendBackslashIfMissing(std::wstring& folder)
{
    if (folder.empty() || folder.back() != L'\\')
        folder += L'\\';
}

std::wstring DoublePercentSigns(const std::wstring& text)
{
    std::wstring escaped;
    escaped.reserve(text.size());
    for (wchar_t ch : text) {
        escaped += ch;
        if (ch == L'%')
            escaped += L'%';
    }
    return escaped;
}

std::wstring ConversionLine(const std::wstring& inputFolder, const std::wstring& fileName,
                            const std::wstring& outputFolder)
{
    return L"dcmdjpeg \"" + DoublePercentSigns(inputFolder + fileName) + L"\" \"" +
           DoublePercentSigns(outputFolder + fileName) + L"\"\n";
}

ConversionScript::ConversionScript(std::wstring inputFolder, std::wstring outputFolder, LineCheck canWrite)
    : m_inputFolder(std::move(inputFolder)), m_outputFolder(std::move(outputFolder)), m_canWrite(std::move(canWrite))
{
}

void ConversionScript::AddFile(const std::wstring& fileName)
{
    std::wstring line = ConversionLine(m_inputFolder, fileName, m_outputFolder);
    if (m_canWrite && !m_canWrite(line)) {
        m_leftOut.push_back(fileName);
        return;
    }
    m_text += line;
}

std::wstring LeftOutFilesMessage(const std::vector<std::wstring>& names, size_t maxNames)
{
    std::wstring message =
        L"次のファイルは、フォルダ名またはファイル名に日本語の文字コード (Shift_JIS) で"
        L"表せない文字が含まれているため、変換しませんでした。\n";
    size_t listed = 0;
    for (const std::wstring& name : names) {
        if (listed == maxNames)
            break;
        message += L"\n" + name;
        ++listed;
    }
    if (names.size() > listed)
        message += L"\nほか " + std::to_wstring(names.size() - listed) + L" 件";
    return message;
}
