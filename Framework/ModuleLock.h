#pragma once
// The lock count of an in-process COM server: every live object and class factory and every
// IClassFactory::LockServer(TRUE) holds one, and the library may be unloaded only at zero.
#include <windows.h>

void LockModule() noexcept;
void UnlockModule() noexcept;
LONG ModuleLockCount() noexcept;

// DllCanUnloadNow's answer: S_OK at zero, else S_FALSE.
HRESULT CanUnloadModule() noexcept;

// One hold on the lock for the holder's lifetime.
class ModuleReference {
public:
    ModuleReference() noexcept { LockModule(); }
    ModuleReference(const ModuleReference&) = delete;
    ModuleReference& operator=(const ModuleReference&) = delete;
    ~ModuleReference() { UnlockModule(); }
};
