#pragma once
// Keeps every other module from replacing the process's unhandled-exception filter: while active,
// the system's SetUnhandledExceptionFilter installs nothing and returns null (no previous filter).
// It patches the function's first instructions in place with code that returns 0, which works
// wherever the system library lies in the 64-bit address space.
#include <windows.h>
#include <array>

class ExceptionFilterGuard {
public:
    ExceptionFilterGuard() noexcept = default;
    ExceptionFilterGuard(const ExceptionFilterGuard&) = delete;
    ExceptionFilterGuard& operator=(const ExceptionFilterGuard&) = delete;
    ~ExceptionFilterGuard() { Deactivate(); }

    // True when the guard is active afterwards.
    bool Activate() noexcept;
    // Puts the saved instructions back; nothing when not active.
    void Deactivate() noexcept;
    bool Active() const noexcept { return m_entry != nullptr; }

private:
    // xor eax, eax; ret: the full 64-bit result register is cleared.
    static constexpr std::array<BYTE, 3> ReturnNull{0x31, 0xC0, 0xC3};
    using Code = std::array<BYTE, ReturnNull.size()>;

    static bool WriteCode(BYTE* target, const Code& code) noexcept;

    BYTE* m_entry = nullptr;
    Code m_saved{};
};
