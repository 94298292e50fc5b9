#pragma once
// Owning holder of a kernel handle (a file, a process, an event): CloseHandle on destruction.
// Both null and INVALID_HANDLE_VALUE mean "no handle", as the creating functions report failure.
#include <windows.h>
#include <utility>

class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(HANDLE handle) noexcept : m_handle(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        UniqueHandle(std::move(other)).Swap(*this);
        return *this;
    }
    ~UniqueHandle() { Close(); }

    void Close() noexcept
    {
        if (*this) CloseHandle(m_handle);
        m_handle = nullptr;
    }
    void Swap(UniqueHandle& other) noexcept { std::swap(m_handle, other.m_handle); }

    HANDLE Get() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle && m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle = nullptr;
};
