#pragma once
// Owning pointer to a COM interface: one reference, released on destruction.
#include <objbase.h>
#include <utility>

template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    explicit ComPtr(T* p) noexcept : m_p(p) { if (m_p) m_p->AddRef(); }
    ComPtr(const ComPtr& other) noexcept : ComPtr(other.m_p) {}
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ~ComPtr() { Release(); }

    ComPtr& operator=(const ComPtr& other) noexcept { ComPtr(other).Swap(*this); return *this; }
    ComPtr& operator=(ComPtr&& other) noexcept { ComPtr(std::move(other)).Swap(*this); return *this; }
    ComPtr& operator=(std::nullptr_t) noexcept { Release(); return *this; }

    // Takes over a reference the caller already owns.
    static ComPtr Attach(T* p) noexcept { ComPtr result; result.m_p = p; return result; }
    T* Detach() noexcept { return std::exchange(m_p, nullptr); }

    void Release() noexcept { if (T* p = std::exchange(m_p, nullptr)) p->Release(); }
    void Swap(ComPtr& other) noexcept { std::swap(m_p, other.m_p); }

    T* Get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

    // Out-parameter for creation functions; releases what was held first.
    T** operator&() noexcept { Release(); return &m_p; }
    void** AsVoid() noexcept { Release(); return reinterpret_cast<void**>(&m_p); }

    template <class U>
    HRESULT As(ComPtr<U>& out) const noexcept
    {
        if (!m_p) return E_POINTER;
        return m_p->QueryInterface(__uuidof(U), out.AsVoid());
    }

    HRESULT CoCreate(REFCLSID clsid, DWORD context = CLSCTX_INPROC_SERVER) noexcept
    {
        return CoCreateInstance(clsid, nullptr, context, __uuidof(T), AsVoid());
    }

private:
    T* m_p = nullptr;
};
