#include "convert/ConversionScript.h"
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
    std::optional<SkipReason> problem = FileNameProblem(fileName);
    if (!problem)
        problem = AppendLine(fileName);
    if (problem) {
        m_skipped.push_back({ std::wstring(fileName), *problem });
    } else {
        m_withLine.emplace_back(fileName);
        m_inputSizes.push_back(size);
    }
}

// The same line as ConversionLine gives, with CR LF in place of the line feed.
std::optional<SkipReason> ConversionScript::AppendLine(std::wstring_view fileName)
{
    std::wstring doubled;
    std::wstring_view name = fileName;
    if (fileName.find(L'%') != std::wstring_view::npos) {
        doubled = DoublePercentSigns(fileName);
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

void ConversionScript::MarkNotReached(size_t firstLine)
{
    for (size_t line = firstLine; line < m_withLine.size(); ++line)
        m_skipped.push_back({ std::move(m_withLine[line]), SkipReason::NotReached });
    if (firstLine < m_withLine.size()) {
        m_withLine.resize(firstLine);
        m_inputSizes.resize(firstLine);
    }
}

namespace {

const wchar_t* ReasonHeading(SkipReason reason)
{
    switch (reason) {
    case SkipReason::ForbiddenCharacter:
        return L"ファイル名に使用できない文字（\" < > | * ? : または制御文字）が含まれています";
    case SkipReason::TrailingDotOrSpace:
        return L"ファイル名がピリオドまたは空白で終わっています";
    case SkipReason::DeviceName:
        return L"ファイル名がデバイス名（CON、NUL、COM1 など）です";
    case SkipReason::CodePage:
        return L"フォルダ名またはファイル名に、この Windows の文字コードで表せない文字が含まれています";
    case SkipReason::LineTooLong:
        return L"フォルダ名とファイル名が長すぎます";
    case SkipReason::OriginalOverwritten:
        return L"変換の途中で出力ファイルが途切れました（ディスクの空き容量不足など）。"
               L"入力フォルダと出力フォルダが同じため、元のファイルはこの途切れたファイルで上書きされています。"
               L"元のファイルを別の場所から戻してください";
    case SkipReason::OutputIncomplete:
        return L"変換の途中で出力ファイルが途切れました（ディスクの空き容量不足など）。出力ファイルは使えません";
    case SkipReason::OutputUnchecked:
        return L"出力ファイルは書かれましたが、ほかのプログラム（ウイルス対策ソフトや同期ソフトなど）が使用中のため読み取れず、"
               L"変換できたかを確認できませんでした。出力ファイルを確認してください";
    case SkipReason::NotDicom:
        return L"DICOM ファイルではありません";
    case SkipReason::JpegLs:
        return L"JPEG-LS で圧縮されています。dcmdjpeg では展開できません";
    case SkipReason::Jpeg2000:
        return L"JPEG 2000 で圧縮されています。dcmdjpeg では展開できません";
    case SkipReason::Rle:
        return L"RLE で圧縮されています。dcmdjpeg では展開できません";
    case SkipReason::Deflate:
        return L"deflate で圧縮されています。dcmdjpeg では展開できません";
    case SkipReason::NotConverted:
        return L"dcmdjpeg が出力ファイルを書きませんでした（読み込めない、壊れている など）";
    case SkipReason::NotReached:
        return L"中止したため変換していません";
    }
    return L"";
}

// A name as a box can show it: characters below U+0020 as the replacement
// character, so that a line feed in a name cannot look like another name.
std::wstring ForDisplay(const std::wstring& name)
{
    std::wstring shown = name;
    for (wchar_t& ch : shown) {
        if (ch < L' ')
            ch = L'\uFFFD';
    }
    return shown;
}

// Lost originals first: they need the user's action most.
constexpr SkipReason kReasonsInOrder[] = {
    SkipReason::OriginalOverwritten, SkipReason::OutputIncomplete,   SkipReason::OutputUnchecked,
    SkipReason::ForbiddenCharacter,  SkipReason::TrailingDotOrSpace, SkipReason::DeviceName,
    SkipReason::CodePage,            SkipReason::LineTooLong,
    SkipReason::NotDicom,            SkipReason::JpegLs,             SkipReason::Jpeg2000,
    SkipReason::Rle,                 SkipReason::Deflate,            SkipReason::NotConverted,
    SkipReason::NotReached,
};

}  // namespace

std::wstring SkippedFilesMessage(const std::vector<SkippedFile>& skipped, size_t maxNamesPerReason)
{
    std::wstring message = L"変換しなかったファイルが " + std::to_wstring(skipped.size()) + L" 件あります。\n";
    for (SkipReason reason : kReasonsInOrder) {
        size_t count = 0;
        std::wstring names;
        for (const SkippedFile& file : skipped) {
            if (file.reason != reason)
                continue;
            if (count++ < maxNamesPerReason)
                names += L"\n    " + ForDisplay(file.name);
        }
        if (count == 0)
            continue;
        message += L"\n" + std::wstring(ReasonHeading(reason)) + L"（" + std::to_wstring(count) + L" 件）:" + names;
        if (count > maxNamesPerReason)
            message += L"\n    ほか " + std::to_wstring(count - maxNamesPerReason) + L" 件";
        message += L"\n";
    }
    return message;
}
