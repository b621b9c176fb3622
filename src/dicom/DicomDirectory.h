#pragma once
// A DICOMDIR read whole into memory and written again with the transfer
// syntaxes its records name changed, every other byte kept. Plain C++.
#include "dicom/ByteSource.h"
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A directory record that names a file.
struct DirectoryFileRecord {
    std::vector<std::string> fileId;            // (0004,1500) components, padding stripped, bytes as stored
    std::string recordType;                     // (0004,1430), padding stripped
    std::optional<std::string> transferSyntax;  // (0004,1512), padding stripped; absent when the record has none
};

// Records point at each other by byte offsets from the start of the file, so
// a value that changes length moves every record after it: writing the file
// again corrects the offsets and the defined lengths of the Directory Record
// Sequence and of the records that hold a changed value.
class DicomDirectory {
public:
    // Nothing when the bytes are not a DICOMDIR that can be written again
    // safely: a file over kMaxSize; no preamble, "DICM" or readable meta
    // group; a data set not in explicit VR little endian, or one that does
    // not walk whole, in ascending tag order, to the end of the file; no
    // Directory Record Sequence; an offset that is neither 0 nor the start of
    // a record; an offset that is not a single UL, or a Referenced Transfer
    // Syntax UID in File that is not a UI.
    static std::optional<DicomDirectory> Read(ByteSource& source);

    // The records that name a file, in file order.
    const std::vector<DirectoryFileRecord>& FileRecords() const { return m_fileRecords; }

    // Sets the Referenced Transfer Syntax UID in File of FileRecords()[fileRecord],
    // padded with a NUL to an even length. False, and nothing changed, when
    // there is no such record, the record holds no such element, or uid is
    // not a UID (1 to 64 digits and dots).
    bool SetTransferSyntax(size_t fileRecord, std::string_view uid);

    // The whole file: the bytes read, with the changed values, the lengths
    // that enclose them and every offset corrected.
    std::string Bytes() const;

    static constexpr uint64_t kMaxSize = uint64_t{ 256 } << 20;

private:
    std::string m_bytes;
    std::vector<DirectoryFileRecord> m_fileRecords;
    // For each file record, where the value of its (0004,1512) starts, and
    // the value it gets when one was set; both in file order.
    std::vector<std::optional<uint64_t>> m_syntaxValues;
    std::vector<std::optional<std::string>> m_newSyntaxes;
    // Where the values of the offset elements start.
    std::vector<uint64_t> m_offsetValues;
    // Where the values of the Directory Record Sequence and of the records
    // start, when their lengths are defined.
    std::vector<uint64_t> m_definedLengthValues;
};
