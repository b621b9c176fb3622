#include "afxexcept.h"

std::wstring CInvalidArgException::GetErrorMessage() const
{
    return L"無効な引数が検出されました。";
}

std::wstring CFileException::GetErrorMessage() const
{
    switch (m_cause) {
    case fileNotFound: return m_strFileName + L" が見つかりません。";
    case accessDenied: return m_strFileName + L" にアクセスできません。";
    case diskFull: return m_strFileName + L" の書き込み中にディスクがいっぱいになりました。";
    case badPath: return m_strFileName + L" のパスが正しくありません。";
    default: return m_strFileName + L" の処理中に予期しないエラーが発生しました。";
    }
}
