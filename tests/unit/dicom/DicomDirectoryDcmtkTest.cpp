// DICOMDIRs made by Debian's dcmtk over JPEG images, written again after
// dcmdjpeg decompressed the images: dcmtk reads each as the same file-set,
// its records naming the images' new transfer syntaxes. Native only; skipped
// when the tools are missing.
#include "dicom/DicomDirectory.h"
#include "DicomTestFiles.h"
#include "FileBytes.h"
#include "ScratchFolderSuite.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct Ran {
    int status;
    std::string output;  // stdout and stderr
};

Ran RunIn(const fs::path& folder, const std::string& command)
{
    const std::string line = "cd '" + folder.string() + "' && " + command + " 2>&1";
    Ran ran{ -1, "" };
    FILE* pipe = popen(line.c_str(), "r");
    if (!pipe)
        return ran;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;)
        ran.output.append(buffer, n);
    ran.status = pclose(pipe);
    return ran;
}

size_t Count(const std::string& text, const std::string& what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// Each record's Referenced File ID and Referenced Transfer Syntax UID in
// File, in the order dcmdump prints the records.
std::map<std::string, std::string> SyntaxesByFile(const std::string& dump)
{
    static const std::regex fileId(R"(\(0004,1500\) CS \[([^\]]*)\])");
    static const std::regex syntax(R"(\(0004,1512\) UI \[([^\]]*)\])");
    std::map<std::string, std::string> syntaxes;
    std::string file;
    std::istringstream lines(dump);
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        if (std::regex_search(line, match, fileId))
            file = match[1];
        else if (std::regex_search(line, match, syntax))
            syntaxes[file] = match[1];
    }
    return syntaxes;
}

class DicomDirectoryDcmtk : public ScratchFolderSuite<DicomDirectoryDcmtk> {
protected:
    // Three JPEG images (baseline, lossless, extended), two DICOMDIRs over
    // them (defined and undefined lengths), then the images decompressed in
    // place, each to another uncompressed syntax.
    static void SetUpTestSuite()
    {
        if (!StartFolder("parvane-dicomdir", { "convert", "img2dcm", "dcmcjpeg", "dcmdjpeg", "dcmmkdir", "dcmdump" }))
            return;
        fs::create_directories(s_folder / "DICOM");
        const Ran made = RunIn(s_folder,
            "K='-k Modality=OT -k PatientName=Test^Parvane -k PatientID=P1' &&"
            " convert -size 64x48 gradient:red-blue picture.jpg && convert picture.jpg BMP3:picture.bmp &&"
            " img2dcm -q $K picture.jpg DICOM/IM1 &&"
            " img2dcm -q -i BMP $K picture.bmp plain1.dcm && dcmcjpeg -q +e1 plain1.dcm DICOM/IM2 &&"
            " img2dcm -q -i BMP $K picture.bmp plain2.dcm && dcmcjpeg -q +ee plain2.dcm DICOM/IM3 &&"
            " dcmmkdir -q +r -Pdv +I --output-file DEFINED DICOM &&"
            " dcmmkdir -q +r -Pdv +I -e --output-file UNDEFINED DICOM &&"
            " dcmdjpeg -q DICOM/IM1 out && mv out DICOM/IM1 &&"
            " dcmdjpeg -q +ti DICOM/IM2 out && mv out DICOM/IM2 &&"
            " dcmdjpeg -q +tb DICOM/IM3 out && mv out DICOM/IM3");
        s_made = made.status == 0;
        if (!s_made)
            std::fprintf(stderr, "%s", made.output.c_str());
    }
};

}  // namespace

TEST_F(DicomDirectoryDcmtk, TheRewrittenDicomdirIsTheSameFileSetNamingTheNewSyntaxes)
{
    const std::map<std::string, std::string> expected = {
        { "DICOM\\IM1", "1.2.840.10008.1.2.1" },
        { "DICOM\\IM2", "1.2.840.10008.1.2" },
        { "DICOM\\IM3", "1.2.840.10008.1.2.2" },
    };
    for (const char* made : { "DEFINED", "UNDEFINED" }) {
        SCOPED_TRACE(made);
        const std::string original = ReadFileBytes(s_folder / made);
        MemoryByteSource source(original);
        std::optional<DicomDirectory> directory = DicomDirectory::Read(source);
        ASSERT_TRUE(directory);
        ASSERT_EQ(directory->FileRecords().size(), expected.size());
        EXPECT_EQ(directory->Bytes(), original);
        for (size_t i = 0; i < directory->FileRecords().size(); ++i) {
            std::string id;
            fs::path file = s_folder;
            for (const std::string& component : directory->FileRecords()[i].fileId) {
                id += (id.empty() ? "" : "\\") + component;
                file /= component;
            }
            const DicomHeader header = dicom_test::Header(ReadFileBytes(file));
            EXPECT_EQ(header.transferSyntax, expected.at(id));
            EXPECT_TRUE(directory->SetTransferSyntax(i, header.transferSyntax));
        }
        const std::string rewritten = directory->Bytes();
        EXPECT_NE(rewritten.size(), original.size());
        WriteFileBytes(s_folder / "DICOMDIR", rewritten);

        const Ran dump = RunIn(s_folder, "dcmdump -Un DICOMDIR");
        ASSERT_EQ(dump.status, 0) << dump.output;
        EXPECT_EQ(Count(dump.output, "E: ") + Count(dump.output, "W: "), 0u) << dump.output;
        EXPECT_EQ(SyntaxesByFile(dump.output), expected);
        const size_t records = Count(dump.output, "(0004,1430)");

        // Appending the same images finds each one's record by following the
        // offsets from the root; a wrong offset is an error, or a record
        // added again.
        const Ran append = RunIn(s_folder, "dcmmkdir +r -Pgp -Nxc +I +A -nb --output-file DICOMDIR DICOM");
        EXPECT_EQ(append.status, 0) << append.output;
        EXPECT_EQ(Count(append.output, "E: ") + Count(append.output, "F: "), 0u) << append.output;
        EXPECT_EQ(Count(append.output, "directory record for this SOP instance already exists"), expected.size())
            << append.output;
        const Ran after = RunIn(s_folder, "dcmdump -Un DICOMDIR");
        EXPECT_EQ(Count(after.output, "(0004,1430)"), records);
        EXPECT_EQ(SyntaxesByFile(after.output), expected);
    }
}
