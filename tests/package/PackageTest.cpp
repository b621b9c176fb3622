// The release zip as a user gets it: what it holds, and the unpacked
// Parvane.exe started by double-click in its own folder (so that folder is the
// working folder), converting with the dcmdjpeg.exe that came with it.
#include "CodePageBytes.h"
#include "DicomBytes.h"
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

// A zip made by the package command: "Parvane-<version>-<suffix>.zip", with
// the version taken from its name, and where it was unpacked.
struct MadeZip {
    fs::path file;
    std::wstring version;
    fs::path unpacked;  // Parvane-<version> inside the folder it was unpacked into
};

MadeZip FindZip(const fs::path& zipFolder, const std::wstring& suffix, const fs::path& unpackedInto)
{
    MadeZip zip;
    const std::wstring prefix = L"Parvane-", ending = L"-" + suffix + L".zip";
    for (const auto& entry : fs::directory_iterator(zipFolder)) {
        std::wstring name = entry.path().filename().wstring();
        if (name.size() > prefix.size() + ending.size() && name.compare(0, prefix.size(), prefix) == 0 &&
            name.compare(name.size() - ending.size(), ending.size(), ending) == 0) {
            zip.file = entry.path();
            zip.version = name.substr(prefix.size(), name.size() - prefix.size() - ending.size());
            zip.unpacked = unpackedInto / (L"Parvane-" + zip.version);
        }
    }
    return zip;
}

// The zip of the build under test, which is unpacked and run.
MadeZip TestedZip() { return FindZip(PACKAGE_ZIP_FOLDER_PATH, PACKAGE_ZIP_SUFFIX, PACKAGE_UNPACKED_PATH); }

bool HasOtherZip() { return std::wstring(PACKAGE_OTHER_ZIP_SUFFIX) != L""; }

// The other target's zip, which is looked into but never run.
MadeZip OtherZip()
{
    return FindZip(PACKAGE_OTHER_ZIP_FOLDER_PATH, PACKAGE_OTHER_ZIP_SUFFIX, PACKAGE_OTHER_UNPACKED_PATH);
}

std::vector<std::pair<std::wstring, MadeZip>> BothZips()
{
    std::vector<std::pair<std::wstring, MadeZip>> zips = { { PACKAGE_ZIP_SUFFIX, TestedZip() } };
    if (HasOtherZip())
        zips.push_back({ PACKAGE_OTHER_ZIP_SUFFIX, OtherZip() });
    return zips;
}

fs::path UnpackedFolder() { return TestedZip().unpacked; }

std::string Utf8(const std::wstring& text)
{
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    return bytes;
}

bool Contains(const std::string& haystack, const std::string& needle)
{
    return haystack.find(needle) != std::string::npos;
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

void ExpectReleaseFiles(const MadeZip& zip)
{
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

TEST(Package, EachZipHoldsOneVersionedFolderWithExactlyTheReleaseFiles)
{
    for (const auto& [suffix, zip] : BothZips()) {
        SCOPED_TRACE(Utf8(suffix));
        ASSERT_FALSE(zip.version.empty()) << "no Parvane-<version>-" << Utf8(suffix) << ".zip was made";
        ExpectReleaseFiles(zip);
    }
}

// What the PE headers of an executable say: its machine, and whether it may
// use addresses above 2 GB.
struct PeHeader {
    uint16_t machine = 0;
    bool largeAddressAware = false;
};

PeHeader ReadPeHeader(const fs::path& exe)
{
    PeHeader header;
    const std::string bytes = ReadFileBytes(exe);
    if (bytes.size() < 0x40 || bytes.compare(0, 2, "MZ") != 0)
        return header;
    size_t pe = Read32(bytes, 0x3C);
    if (pe + 24 > bytes.size() || bytes.compare(pe, 4, std::string("PE\0\0", 4)) != 0)
        return header;
    header.machine = Read16(bytes, pe + 4);
    header.largeAddressAware = (Read16(bytes, pe + 22) & IMAGE_FILE_LARGE_ADDRESS_AWARE) != 0;
    return header;
}

// Both executables of a zip are built for its target; dcmdjpeg.exe may use
// more than 2 GB (on 64-bit Windows a 32-bit one then gets 4 GB), which large
// multi-frame files need.
TEST(Package, EachZipsProgramsAreBuiltForItsTargetAndDcmdjpegIsLargeAddressAware)
{
    for (const auto& [suffix, zip] : BothZips()) {
        SCOPED_TRACE(Utf8(suffix));
        const uint16_t machine = suffix == L"win64" ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;
        for (const wchar_t* name : { L"Parvane.exe", L"dcmdjpeg.exe" })
            EXPECT_EQ(ReadPeHeader(zip.unpacked / name).machine, machine) << fs::path(name).string();
        EXPECT_TRUE(ReadPeHeader(zip.unpacked / L"dcmdjpeg.exe").largeAddressAware);
    }
}

// The other target's zip carries the same texts, the guide that says which
// zip to choose among them.
TEST(Package, OtherZipHoldsTheSameTexts)
{
    if (!HasOtherZip())
        GTEST_SKIP() << "no other target's build was named";
    const MadeZip tested = TestedZip(), other = OtherZip();
    for (const wchar_t* name : { L"LICENSE.txt", L"THIRD-PARTY-NOTICES.txt", L"はじめにお読みください.txt" })
        EXPECT_EQ(ReadFileBytes(other.unpacked / name), ReadFileBytes(tested.unpacked / name))
            << fs::path(name).string();
    const std::string guide = ReadFileBytes(tested.unpacked / L"はじめにお読みください.txt");
    EXPECT_TRUE(Contains(guide, Utf8(L"Parvane-" + tested.version + L"-win32.zip")));
    EXPECT_TRUE(Contains(guide, Utf8(L"Parvane-" + tested.version + L"-win64.zip")));
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

TEST(Package, VersionRecordOfEachZippedProgramEqualsTheVersionInTheFileName)
{
    for (const auto& [suffix, zip] : BothZips()) {
        SCOPED_TRACE(Utf8(suffix));
        ASSERT_FALSE(zip.version.empty());
        VersionRecord record = ReadVersionRecord(zip.unpacked / L"Parvane.exe");
        EXPECT_EQ(record.fileVersion, zip.version);
        EXPECT_EQ(record.productVersion, zip.version);
        EXPECT_EQ(record.fixedFileVersion, zip.version);
        EXPECT_EQ(record.fixedProductVersion, zip.version);
    }
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
