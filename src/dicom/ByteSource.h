#pragma once
// Where the DICOM readers get their bytes from: a file, or memory. Plain C++.
#include <cstddef>
#include <cstdint>
#include <string_view>

// Where the reader gets its bytes from: a file, or memory.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Copies the n bytes at offset; false when they cannot all be read. The
    // reader only asks for bytes that lie within Size().
    virtual bool Read(uint64_t offset, void* into, size_t n) = 0;
};

// Bytes already in memory; they must outlive the source.
class MemoryByteSource : public ByteSource {
public:
    explicit MemoryByteSource(std::string_view bytes) : m_bytes(bytes) {}
    uint64_t Size() const override { return m_bytes.size(); }
    bool Read(uint64_t offset, void* into, size_t n) override;

private:
    std::string_view m_bytes;
};
