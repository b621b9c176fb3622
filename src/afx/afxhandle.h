#pragma once
// One small owner per Win32 handle kind: not copyable, movable.
#include <windows.h>
#include <utility>

template <typename Traits>
class ScopedHandle {
public:
    using Handle = typename Traits::Handle;
    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : m_handle(handle) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : m_handle(other.Release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    bool IsValid() const { return m_handle != Traits::Empty(); }
    Handle Get() const { return m_handle; }
    Handle Release() { return std::exchange(m_handle, Traits::Empty()); }
    void Reset(Handle handle = Traits::Empty())
    {
        if (IsValid())
            Traits::Close(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle = Traits::Empty();
};

// Kernel objects such as processes and threads: empty is NULL.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::CloseHandle(h); }
};

// Files opened with CreateFile: empty is INVALID_HANDLE_VALUE.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};

// Directory searches: empty is INVALID_HANDLE_VALUE, closed with FindClose.
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::FindClose(h); }
};

using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;
using ScopedFileHandle = ScopedHandle<FileHandleTraits>;
using ScopedFindHandle = ScopedHandle<FindHandleTraits>;
