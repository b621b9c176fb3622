#include "dicom/ByteSource.h"
#include <cstring>

bool MemoryByteSource::Read(uint64_t offset, void* into, size_t n)
{
    if (offset > m_bytes.size() || n > m_bytes.size() - offset)
        return false;
    if (n != 0)
        std::memcpy(into, m_bytes.data() + offset, n);
    return true;
}
