// ComPtr: holds one reference to a COM-style interface and releases it
// when it goes, so that no exit path of its holder leaks the reference or
// releases it twice. Moves, never copies.
//
//     ComPtr<ITrellisReader> reader;
//     HRESULT hr = object->QueryInterface(IID_ITrellisReader, reader.PutVoid());
//     if (FAILED(hr)) return hr;      // nothing to release by hand
//     reader->Open();
#pragma once
#include "com.h"

#include <utility>

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller holds.
    explicit ComPtr(T* pointer) : m_p(pointer) {}
    // A reference of its own to what another holder holds.
    static ComPtr Share(T* pointer)
    {
        if (pointer) pointer->AddRef();
        return ComPtr(pointer);
    }
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    // The place an out parameter writes a new reference to (the one held
    // before is released first).
    T** Put()
    {
        Reset();
        return &m_p;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    void Reset() { SafeRelease(m_p); }

private:
    T* m_p = nullptr;
};
