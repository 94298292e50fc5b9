#pragma once
// Owning holder of a BSTR: SysFreeString on destruction.
#include <windows.h>
#include <oleauto.h>
#include <string>
#include <string_view>

class Bstr {
public:
    Bstr() noexcept = default;
    explicit Bstr(std::wstring_view text);
    Bstr(const Bstr& other);
    Bstr(Bstr&& other) noexcept : m_str(other.Detach()) {}
    ~Bstr() { Free(); }

    Bstr& operator=(Bstr other) noexcept { std::swap(m_str, other.m_str); return *this; }
    Bstr& operator=(std::wstring_view text) { return *this = Bstr(text); }

    static Bstr Attach(BSTR s) noexcept { Bstr b; b.m_str = s; return b; }
    BSTR Detach() noexcept { BSTR s = m_str; m_str = nullptr; return s; }
    void Free() noexcept;

    BSTR Get() const noexcept { return m_str; }
    // Out-parameter for functions that return a new BSTR; frees what was held first.
    BSTR* operator&() noexcept { Free(); return &m_str; }
    // Copy for an out-parameter the caller will own.
    BSTR Copy() const;

    UINT Length() const noexcept { return SysStringLen(m_str); }
    bool Empty() const noexcept { return Length() == 0; }
    // Never null: an absent string reads as "".
    const wchar_t* c_str() const noexcept { return m_str ? m_str : L""; }
    std::wstring_view View() const noexcept { return {c_str(), Length()}; }

private:
    BSTR m_str = nullptr;
};
