// The batch-convert button: checks both folders, creates a missing output
// folder on request, and gathers one conversion line per file.
#include "convert/ConversionScript.h"
#include "convert/ConvertMessages.h"
#include "ui/ParvaneDlg.h"
#include <clocale>

namespace {

// The batch file is written through the run-time library's locale, which
// must use code page 932.
void UseJapaneseLocale()
{
    if (!std::setlocale(LC_ALL, "japanese"))
        std::setlocale(LC_ALL, ".932");
}

bool CanWriteInCodePage932(const std::wstring& line)
{
    std::string bytes;
    return CodePageFromWide(line, 932, bytes);
}

}  // namespace

int CParvaneDlg::ShowConvertMessage(const ConvertMessage& message)
{
    return MessageBox(message.text, message.caption, message.type);
}

void CParvaneDlg::OnBnClickedConvert()
{
    UpdateData(TRUE);
    if (m_strInputFolder.IsEmpty()) {
        ShowConvertMessage(kInputFolderMissing);
        return;
    }
    if (m_strOutputFolder.IsEmpty()) {
        ShowConvertMessage(kOutputFolderNotGiven);
        return;
    }
    AppendFolderBackslash(m_strInputFolder);
    AppendFolderBackslash(m_strOutputFolder);
    const CString inputPattern = m_strInputFolder + L"*";
    const CString outputPattern = m_strOutputFolder + L"*";
    UseJapaneseLocale();

    CFileFind finder;
    if (!finder.FindFile(inputPattern)) {
        ShowConvertMessage(kInputFolderMissing);
        return;
    }
    if (!finder.FindFile(outputPattern) && !CreateOutputFolderOnRequest())
        return;

    ConversionScript script(m_strInputFolder.Str(), m_strOutputFolder.Str(), &CanWriteInCodePage932);
    if (finder.FindFile(inputPattern)) {
        BOOL more;
        do {
            more = finder.FindNextFile();
            if (finder.IsDots() || finder.IsDirectory())
                continue;
            script.AddFile(finder.GetFileName().Str());
        } while (more);
    }
    finder.Close();

    RunConversionScript(CString(script.Text()));
    if (!script.LeftOutFiles().empty())
        MessageBox(LeftOutFilesMessage(script.LeftOutFiles()).c_str(), kLeftOutFilesCaption, MB_OK | MB_ICONWARNING);
}

void CParvaneDlg::AppendFolderBackslash(CString& folder)
{
    std::wstring text = folder.Str();
    AppendBackslashIfMissing(text);
    folder = CString(std::move(text));
}

bool CParvaneDlg::CreateOutputFolderOnRequest()
{
    if (ShowConvertMessage(kCreateOutputFolder) != IDYES)
        return false;
    if (::CreateDirectoryW(m_strOutputFolder, nullptr))
        return true;
    ShowConvertMessage(kOutputFolderNotCreated);
    return false;
}
