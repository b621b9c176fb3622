#include "dicom/FileByteSource.h"
#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kLargestRead = 64 * 1024;

}  // namespace

FileByteSource::FileByteSource(const std::wstring& path)
    : m_file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr))
{
    LARGE_INTEGER size{};
    if (m_file.IsValid() && ::GetFileSizeEx(m_file.Get(), &size))
        m_size = static_cast<uint64_t>(size.QuadPart);
    else
        m_file.Reset();
}

bool FileByteSource::Fill(uint64_t offset)
{
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    const size_t size = m_nextRead;
    m_nextRead = std::min(m_nextRead * 2, kLargestRead);
    m_buffer.resize(size);
    DWORD got = 0;
    if (!::SetFilePointerEx(m_file.Get(), at, nullptr, FILE_BEGIN) ||
        !::ReadFile(m_file.Get(), &m_buffer[0], static_cast<DWORD>(size), &got, nullptr)) {
        m_buffer.clear();
        return false;
    }
    m_buffer.resize(got);
    m_bufferOffset = offset;
    return true;
}

bool FileByteSource::Read(uint64_t offset, void* into, size_t n)
{
    if (!IsOpen() || offset > m_size || n > m_size - offset)
        return false;
    char* out = static_cast<char*>(into);
    while (n > 0) {
        const bool inBuffer = offset >= m_bufferOffset && offset < m_bufferOffset + m_buffer.size();
        if (!inBuffer && (!Fill(offset) || m_buffer.empty()))
            return false;
        const size_t from = static_cast<size_t>(offset - m_bufferOffset);
        const size_t take = std::min(n, m_buffer.size() - from);
        std::memcpy(out, m_buffer.data() + from, take);
        out += take;
        offset += take;
        n -= take;
    }
    return true;
}
