// Parvane on a Windows that is not Japanese (ANSI 1252, OEM 437). Runs in a
// ctest entry of its own, under LC_ALL=en_US.UTF-8; skipped elsewhere.
#include "Driver.h"
#include "resource.h"
#include <gtest/gtest.h>

using namespace e2e;
namespace fs = std::filesystem;

namespace {

bool IsUncompressed(const std::string& dicom)
{
    return dicom.find("1.2.840.10008.1.2.1") != std::string::npos &&
           dicom.find("1.2.840.10008.1.2.4.") == std::string::npos;
}

std::string Ascii(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

TEST(OtherCodePage, WesternNamesConvertJapaneseNamesAreListedAndParamIniComesBackWhole)
{
    if (::GetACP() == 932)
        GTEST_SKIP() << "runs as e2e.OtherCodePage, with LC_ALL=en_US.UTF-8";
    ASSERT_EQ(::GetACP(), 1252u);
    ASSERT_EQ(::GetOEMCP(), 437u);
    const fs::path work = MakeScratchFolder(L"OtherCodePage");
    fs::copy_file(DcmdjpegExe(), work / L"dcmdjpeg.exe");
    // param.ini is written in code page 932 whatever the system: 入力 and 出力.
    const std::string folder = Ascii(work.wstring());
    WriteFileBytes(work / L"param.ini", "[INPUT]" + folder + "\\\x93\xFC\x97\xCD\r\n[OUTPUT]" + folder +
                                            "\\\x8F\x6F\x97\xCD\r\n");
    const fs::path in = work / L"in";
    const fs::path out = work / L"out";
    fs::create_directories(in);
    fs::create_directories(out);
    for (const wchar_t* name : { L"plain.dcm", L"café.dcm", L"画像.dcm" })
        fs::copy_file(DicomFixtureFolder() / L"lossless.dcm", in / name);

    ParvaneProcess parvane(work);
    ASSERT_NE(parvane.WaitForMainWindow(), nullptr);
    EXPECT_EQ(parvane.FieldText(IDC_EDIT_INPUT), work.wstring() + L"\\入力");
    EXPECT_EQ(parvane.FieldText(IDC_EDIT_OUTPUT), work.wstring() + L"\\出力");

    parvane.SetControlText(IDC_EDIT_INPUT, in.wstring());
    parvane.SetControlText(IDC_EDIT_OUTPUT, out.wstring());
    parvane.Click(IDC_BUTTON_CONVERT);
    MessageBoxView box = parvane.WaitForMessageBox(180s);
    EXPECT_EQ(box.caption, L"変換しなかったファイルがあります");
    EXPECT_NE(box.text.find(L"変換しなかったファイルが 1 件あります"), std::wstring::npos);
    EXPECT_NE(box.text.find(L"文字コード"), std::wstring::npos);
    EXPECT_NE(box.text.find(L"画像.dcm"), std::wstring::npos);
    parvane.Answer(box, IDOK);

    // The batch file is in the console's code page, 437: é is 0x82 there.
    const std::string batch = ReadFileBytes(work / L"uncompress.bat");
    EXPECT_NE(batch.find("\\caf\x82.dcm\" \""), std::string::npos);
    EXPECT_TRUE(IsUncompressed(ReadFileBytes(out / L"plain.dcm")));
    EXPECT_TRUE(IsUncompressed(ReadFileBytes(out / L"café.dcm")));
    EXPECT_FALSE(fs::exists(out / L"画像.dcm"));
}

}  // namespace
