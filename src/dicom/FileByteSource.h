#pragma once
// A file as the DICOM structure reader's byte source: opened for reading with
// others still free to read and write it, and read through a buffer so that
// the reader's many small reads of element headers cost a few system calls.
// The first read is small (a header needs little), later ones larger.
#include "afx/afx.h"
#include "dicom/DicomStructure.h"
#include <string>

class FileByteSource : public ByteSource {
public:
    explicit FileByteSource(const std::wstring& path);
    bool IsOpen() const { return m_file.IsValid(); }

    uint64_t Size() const override { return m_size; }
    bool Read(uint64_t offset, void* into, size_t n) override;

private:
    bool Fill(uint64_t offset);

    ScopedFileHandle m_file;
    uint64_t m_size = 0;
    std::string m_buffer;
    uint64_t m_bufferOffset = 0;
    // A header is a few hundred bytes, so the first read is small; each
    // further read doubles, for files whose elements go on (large private
    // blocks, long sequences), up to a size that keeps a walk over a big file
    // to few reads.
    size_t m_nextRead = 4 * 1024;
};
