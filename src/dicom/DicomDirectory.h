#pragma once
// Placeholder until the DICOMDIR reader lands: reads nothing.
#include "dicom/ByteSource.h"
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct DirectoryFileRecord {
    std::vector<std::string> fileId;
    std::string recordType;
    std::optional<std::string> transferSyntax;
};

class DicomDirectory {
public:
    static std::optional<DicomDirectory> Read(ByteSource&) { return std::nullopt; }
    const std::vector<DirectoryFileRecord>& FileRecords() const { return m_records; }
    void SetTransferSyntax(size_t, std::string_view) {}
    std::string Bytes() const { return {}; }

private:
    std::vector<DirectoryFileRecord> m_records;
};
