// The release zip as a user gets it: what it holds, and the unpacked
// Parvane.exe started by double-click in its own folder (so that folder is the
// working folder), converting with the dcmdjpeg.exe that came with it.
#include "Driver.h"
#include "package_paths.h"
#include "resource.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>

using namespace e2e;
namespace fs = std::filesystem;

namespace {

const char kBom[] = "\xEF\xBB\xBF";

// The one zip made by the package command, and the version in its name
// ("Parvane-<version>-win32.zip").
struct MadeZip {
    fs::path file;
    std::wstring version;
};

MadeZip FindZip()
{
    MadeZip zip;
    for (const auto& entry : fs::directory_iterator(PACKAGE_ZIP_FOLDER_PATH)) {
        std::wstring name = entry.path().filename().wstring();
        const std::wstring prefix = L"Parvane-", suffix = L"-win32.zip";
        if (name.size() > prefix.size() + suffix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
            zip.file = entry.path();
            zip.version = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
        }
    }
    return zip;
}

fs::path UnpackedFolder() { return fs::path(PACKAGE_UNPACKED_PATH) / (L"Parvane-" + FindZip().version); }

std::string Utf8(const std::wstring& text)
{
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    return bytes;
}

std::string CodePage932(const std::wstring& text)
{
    int size = ::WideCharToMultiByte(932, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(932, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    return bytes;
}

uint32_t Read32(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

uint16_t Read16(const std::string& bytes, size_t at)
{
    uint16_t value = 0;
    std::memcpy(&value, bytes.data() + at, 2);
    return value;
}

// A zip entry as its central directory records it.
struct ZipEntry {
    std::string name;  // the stored bytes
    bool utf8Name;     // general purpose flag bit 11: the name is UTF-8
    bool operator<(const ZipEntry& other) const { return name < other.name; }
};

std::vector<ZipEntry> ZipEntries(const std::string& zip)
{
    std::vector<ZipEntry> entries;
    size_t end = zip.rfind(std::string("PK\x05\x06", 4));
    if (end == std::string::npos || end + 22 > zip.size())
        return entries;
    size_t count = Read16(zip, end + 10);
    size_t at = Read32(zip, end + 16);
    for (size_t i = 0; i < count && at + 46 <= zip.size() && Read32(zip, at) == 0x02014b50; ++i) {
        size_t nameLength = Read16(zip, at + 28);
        entries.push_back({ zip.substr(at + 46, nameLength), (Read16(zip, at + 8) & 0x0800) != 0 });
        at += 46 + nameLength + Read16(zip, at + 30) + Read16(zip, at + 32);
    }
    return entries;
}

std::string WithCrLf(std::string text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}

bool Contains(const std::string& haystack, const std::string& needle)
{
    return haystack.find(needle) != std::string::npos;
}

bool IsUncompressed(const std::string& dicom)
{
    return Contains(dicom, "1.2.840.10008.1.2.1") && !Contains(dicom, "1.2.840.10008.1.2.4.");
}

// The value of the last Pixel Data element of an explicit VR little endian file.
std::string PixelData(const std::string& dicom)
{
    for (const char* vr : { "OW", "OB" }) {
        std::string tag = std::string("\xE0\x7F\x10\x00", 4) + vr + std::string(2, '\0');
        size_t at = dicom.rfind(tag);
        if (at == std::string::npos || at + 12 > dicom.size())
            continue;
        uint32_t length = Read32(dicom, at + 8);
        return dicom.substr(at + 12, length);
    }
    return {};
}

// A string of the version record's "041103a4" block, and the fixed version as "a.b.c.d".
struct VersionRecord {
    std::wstring fileVersion, productVersion, fixedFileVersion, fixedProductVersion;
};

VersionRecord ReadVersionRecord(const fs::path& exe)
{
    VersionRecord record;
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    if (size == 0)
        return record;
    std::string block(size, '\0');
    if (!::GetFileVersionInfoW(exe.c_str(), 0, size, block.data()))
        return record;
    auto text = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        UINT length = 0;
        std::wstring path = std::wstring(L"\\StringFileInfo\\041103a4\\") + name;
        return ::VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) && value
                   ? std::wstring(value)
                   : std::wstring(L"<missing>");
    };
    record.fileVersion = text(L"FileVersion");
    record.productVersion = text(L"ProductVersion");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
        auto dotted = [](DWORD ms, DWORD ls) {
            return std::to_wstring(HIWORD(ms)) + L"." + std::to_wstring(LOWORD(ms)) + L"." +
                   std::to_wstring(HIWORD(ls)) + L"." + std::to_wstring(LOWORD(ls));
        };
        record.fixedFileVersion = dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
        record.fixedProductVersion = dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
    }
    return record;
}

TEST(Package, ZipHoldsOneVersionedFolderWithExactlyTheReleaseFiles)
{
    MadeZip zip = FindZip();
    ASSERT_FALSE(zip.version.empty()) << "no Parvane-<version>-win32.zip was made";
    const std::string folder = "Parvane-" + Utf8(zip.version) + "/";
    const std::set<std::string> expected = {
        folder,
        folder + "Parvane.exe",
        folder + "dcmdjpeg.exe",
        folder + "LICENSE.txt",
        folder + "THIRD-PARTY-NOTICES.txt",
        folder + Utf8(L"はじめにお読みください.txt"),
    };
    std::set<std::string> names;
    for (const ZipEntry& entry : ZipEntries(ReadFileBytes(zip.file))) {
        names.insert(entry.name);
        // Without the flag, Windows reads the guide's name in its own code page.
        bool ascii = std::all_of(entry.name.begin(), entry.name.end(), [](char c) { return (c & 0x80) == 0; });
        EXPECT_TRUE(ascii || entry.utf8Name) << entry.name;
    }
    EXPECT_EQ(names, expected);
}

TEST(Package, TextFilesAreUtf8WithByteOrderMarkAndCrLf)
{
    const fs::path folder = UnpackedFolder();
    for (const wchar_t* name : { L"LICENSE.txt", L"THIRD-PARTY-NOTICES.txt", L"はじめにお読みください.txt" }) {
        SCOPED_TRACE(fs::path(name).string());
        std::string text = ReadFileBytes(folder / name);
        ASSERT_GT(text.size(), 3u);
        EXPECT_EQ(text.compare(0, 3, kBom), 0);
        EXPECT_EQ(WithCrLf(text), text) << "a line ends in LF alone";
        EXPECT_EQ(text.find("\r\r"), std::string::npos);
        EXPECT_NE(::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data() + 3,
                                        static_cast<int>(text.size() - 3), nullptr, 0), 0) << "not UTF-8";
    }
    EXPECT_TRUE(Contains(ReadFileBytes(folder / L"LICENSE.txt"), "Copyright (c) 2026 The Parvane authors\r\n"));
    // DCMTK's COPYRIGHT in full, with the parts of other authors it holds.
    const std::string notices = ReadFileBytes(folder / L"THIRD-PARTY-NOTICES.txt");
    const std::string copyright = ReadFileBytes(DCMTK_COPYRIGHT_PATH);
    ASSERT_GT(copyright.size(), 10000u);
    EXPECT_TRUE(Contains(notices, WithCrLf(copyright)));
    EXPECT_TRUE(Contains(notices, "Independent JPEG Group"));
}

TEST(Package, DcmdjpegFromTheZipAnswersVersion)
{
    const fs::path folder = UnpackedFolder();
    const fs::path answer = fs::path(PACKAGE_UNPACKED_PATH).parent_path() / L"dcmdjpeg-version.txt";
    ParvaneProcess dcmdjpeg(folder, answer, L"--version", (folder / L"dcmdjpeg.exe").wstring());
    ASSERT_TRUE(dcmdjpeg.Started());
    ASSERT_TRUE(dcmdjpeg.WaitForExit());
    EXPECT_EQ(dcmdjpeg.ExitCode(), 0u);
    EXPECT_TRUE(Contains(ReadFileBytes(answer), "$dcmtk: dcmdjpeg v")) << ReadFileBytes(answer);
}

TEST(Package, VersionRecordOfTheZippedProgramEqualsTheVersionInTheFileName)
{
    const std::wstring version = FindZip().version;
    ASSERT_FALSE(version.empty());
    VersionRecord record = ReadVersionRecord(UnpackedFolder() / L"Parvane.exe");
    EXPECT_EQ(record.fileVersion, version);
    EXPECT_EQ(record.productVersion, version);
    EXPECT_EQ(record.fixedFileVersion, version);
    EXPECT_EQ(record.fixedProductVersion, version);
}

// Started as Explorer starts a double-clicked program: the working folder is
// the program's own folder, inside a path with Japanese and a space.
TEST(Package, UnpackedProgramStartsConvertsAndSavesItsSettingsInItsOwnFolder)
{
    const fs::path folder = UnpackedFolder();
    ASSERT_FALSE(fs::exists(folder / L"param.ini")) << "the zip must not bring a param.ini";
    const fs::path in = fs::path(PACKAGE_UNPACKED_PATH) / L"検査 画像";
    const fs::path out = fs::path(PACKAGE_UNPACKED_PATH) / L"展開 結果";
    fs::create_directories(in);
    fs::create_directories(out);
    fs::copy_file(DicomFixtureFolder() / L"lossless.dcm", in / L"可逆.dcm");
    fs::copy_file(DicomFixtureFolder() / L"baseline.dcm", in / L"baseline.dcm");

    ParvaneProcess parvane(folder, {}, {}, (folder / L"Parvane.exe").wstring());
    MessageBoxView first = parvane.WaitForMessageBox();
    EXPECT_EQ(first.caption, L"Param READ ERROR") << "the first start finds no param.ini";
    parvane.Answer(first, IDOK);
    ASSERT_NE(parvane.WaitForMainWindow(), nullptr);

    parvane.SetControlText(IDC_EDIT_INPUT, in.wstring());
    parvane.SetControlText(IDC_EDIT_OUTPUT, out.wstring());
    ASSERT_TRUE(parvane.ClickAndWait(IDC_BUTTON_CONVERT, 180s));
    EXPECT_TRUE(parvane.NoMessageBoxWithin(1s));
    EXPECT_TRUE(fs::exists(folder / L"uncompress.bat"));
    const std::string lossless = ReadFileBytes(out / L"可逆.dcm");
    EXPECT_TRUE(IsUncompressed(lossless));
    EXPECT_EQ(PixelData(lossless), ReadFileBytes(DicomFixtureFolder() / L"lossless.raw"));
    EXPECT_TRUE(IsUncompressed(ReadFileBytes(out / L"baseline.dcm")));

    parvane.Click(IDC_BUTTON_EXIT);
    ASSERT_TRUE(parvane.WaitForExit());
    EXPECT_EQ(parvane.ExitCode(), 0u);
    EXPECT_EQ(ReadFileBytes(folder / L"param.ini"),
              CodePage932(L"[INPUT]" + in.wstring() + L"\r\n[OUTPUT]" + out.wstring() + L"\r\n"));
}

}  // namespace
