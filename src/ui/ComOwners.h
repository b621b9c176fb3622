#pragma once
// Owners for COM: the apartment of the calling thread, and one interface
// pointer. Not copyable.
#include <windows.h>
#include <objbase.h>
#include <utility>

// The shell's objects want COM on the calling thread; set up for one use.
class ComApartment {
public:
    ComApartment() : m_result(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(m_result))
            ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_result;
};

template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    // Creates the in-process object of the class; false when the system has none.
    bool Create(const CLSID& classId, const IID& interfaceId)
    {
        Reset();
        return SUCCEEDED(::CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, interfaceId,
                                            reinterpret_cast<void**>(&m_pointer)));
    }
    void Reset()
    {
        if (m_pointer)
            std::exchange(m_pointer, nullptr)->Release();
    }
    Interface* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }

private:
    Interface* m_pointer = nullptr;
};
