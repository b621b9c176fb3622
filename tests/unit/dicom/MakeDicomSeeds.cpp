// Writes the seeds of the DICOM structure fuzz target: the tests' small
// files and DICOMDIRs, whole and as bodies behind the fuzz target's fixed
// meta groups.
#include "FuzzDicomInput.h"
#include "dicom/DicomStructure.h"
#include <filesystem>
#include <fstream>
#include <iostream>

using namespace dicom_test;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_dicom_seeds <folder>\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const Image multiFrame{ 3, 2, 3, 8, "2" };
    const std::string inputs[] = {
        FuzzInput(kWholeFile, SmallImage(kExplicitLittle)),
        FuzzInput(kWholeFile, SmallImage(kImplicitLittle)),
        FuzzInput(kWholeFile, SmallImage(kExplicitBig)),
        FuzzInput(kWholeFile, SmallImage(kExplicitLittle, multiFrame)),
        FuzzInput(kWholeFile, EncapsulatedImage("1.2.840.10008.1.2.4.50")),
        FuzzInput(kWholeFile, FileStart("1.2.840.10008.1.2.1.99", false) + "\x02\x00\x10\x00"),
        FuzzInput(kExplicitLittleBody, SmallImage(kExplicitLittle)),
        FuzzInput(kExplicitLittleBody, SmallImage(kExplicitLittle, multiFrame)),
        FuzzInput(kImplicitLittleBody, SmallImage(kImplicitLittle)),
        FuzzInput(kExplicitBigBody, SmallImage(kExplicitBig)),
        FuzzInput(kJpegBody, EncapsulatedImage("1.2.840.10008.1.2.4.50", multiFrame)),
        FuzzInput(kExplicitLittleBody, Nested(kMaxSequenceNesting, false)),
        FuzzInput(kExplicitLittleBody, Nested(kMaxSequenceNesting, true)),
        FuzzInput(kWholeFile, DirectoryFile(SampleDirectoryRecords(), { true, true }, 1).bytes),
        FuzzInput(kExplicitLittleBody, DirectoryFile(SampleDirectoryRecords(), { false, false }, 1).bytes),
        FuzzInput(kExplicitLittleBody, DirectoryFile(SampleDirectoryRecords(), { true, false }, 1).bytes),
    };
    int number = 0;
    for (const std::string& input : inputs) {
        std::ofstream out(folder / ("seed-" + std::to_string(++number)), std::ios::binary | std::ios::trunc);
        out.write(input.data(), static_cast<std::streamsize>(input.size()));
        if (!out) {
            std::cerr << "cannot write the seeds in " << folder << "\n";
            return 1;
        }
    }
    return 0;
}
