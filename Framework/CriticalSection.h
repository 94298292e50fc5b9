#pragma once
// Owning holder of a critical section, and a scope that holds one entered.
#include <windows.h>
#include "Framework/HResultError.h"

class CriticalSection {
public:
    // Throws the system's error when the section cannot be created.
    CriticalSection()
    {
        ThrowLastErrorIf(!InitializeCriticalSectionAndSpinCount(&m_section, 0));
    }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    ~CriticalSection() { DeleteCriticalSection(&m_section); }

    void Enter() noexcept { EnterCriticalSection(&m_section); }
    void Leave() noexcept { LeaveCriticalSection(&m_section); }
    // For the system calls that take the section itself (SleepConditionVariableCS).
    CRITICAL_SECTION* Native() noexcept { return &m_section; }

private:
    CRITICAL_SECTION m_section;
};

class CriticalSectionScope {
public:
    explicit CriticalSectionScope(CriticalSection& section) noexcept : m_section(section) { m_section.Enter(); }
    CriticalSectionScope(const CriticalSectionScope&) = delete;
    CriticalSectionScope& operator=(const CriticalSectionScope&) = delete;
    ~CriticalSectionScope() { m_section.Leave(); }

private:
    CriticalSection& m_section;
};
