#include "Framework/Registrar.h"
#include "Framework/HResultError.h"
#include "Framework/RegKey.h"

namespace {
HKEY RootOf(RegistryHive hive, const RegistryRoots& roots) noexcept
{
    return hive == RegistryHive::ClassesRoot ? roots.classesRoot : roots.localMachine;
}

void ThrowIfRegistryError(LONG error)
{
    if (error != ERROR_SUCCESS) throw HResultError(HRESULT_FROM_WIN32(error));
}

// Removal of what is already gone succeeds.
void ThrowIfRemovalError(LONG error)
{
    if (error != ERROR_FILE_NOT_FOUND) ThrowIfRegistryError(error);
}
}

HRESULT Registrar::Register(const RegistryRoots& roots) const noexcept
{
    return CatchAsHResult([&] {
        for (const RegistryEntry& entry : m_script) RegisterEntry(entry, roots);
        return S_OK;
    });
}

HRESULT Registrar::Unregister(const RegistryRoots& roots) const noexcept
{
    HRESULT result = S_OK;
    for (auto entry = m_script.rbegin(); entry != m_script.rend(); ++entry) {
        const HRESULT hr = CatchAsHResult([&] {
            UnregisterEntry(*entry, roots);
            return S_OK;
        });
        if (SUCCEEDED(result)) result = hr;
    }
    return result;
}

std::wstring Registrar::Substitute(const wchar_t* text) const
{
    std::wstring result(text);
    for (const Substitution& substitution : m_substitutions) {
        if (substitution.placeholder.empty()) continue;
        for (size_t at = result.find(substitution.placeholder); at != std::wstring::npos;
             at = result.find(substitution.placeholder, at + substitution.text.size()))
            result.replace(at, substitution.placeholder.size(), substitution.text);
    }
    return result;
}

void Registrar::RegisterEntry(const RegistryEntry& entry, const RegistryRoots& roots) const
{
    RegKey key;
    ThrowIfRegistryError(key.Create(RootOf(entry.hive, roots), entry.path, KEY_WRITE));
    for (const RegistryValue& value : entry.values) ThrowIfRegistryError(key.SetString(value.name, Substitute(value.data)));
}

void Registrar::UnregisterEntry(const RegistryEntry& entry, const RegistryRoots& roots)
{
    const HKEY root = RootOf(entry.hive, roots);
    if (entry.removal == OnRemoval::DeleteKey) {
        ThrowIfRemovalError(RegDeleteTreeW(root, entry.path));
        return;
    }
    RegKey key;
    const LONG opened = key.Open(root, entry.path, KEY_SET_VALUE);
    if (opened == ERROR_FILE_NOT_FOUND) return;
    ThrowIfRegistryError(opened);
    for (const RegistryValue& value : entry.values) ThrowIfRemovalError(key.DeleteValue(value.name));
}

HRESULT InstallServer(const RegistrationStep& registerServer, const RegistrationStep& unregisterServer, BOOL install,
                      const wchar_t* commandLine) noexcept
{
    return CatchAsHResult([&] {
        const bool perUser =
            commandLine && CompareStringOrdinal(commandLine, -1, L"user", -1, TRUE) == CSTR_EQUAL;
        RegKey userClasses;
        if (perUser) {
            const LONG error = userClasses.Create(HKEY_CURRENT_USER, L"Software\\Classes", KEY_ALL_ACCESS);
            if (error != ERROR_SUCCESS) return HRESULT_FROM_WIN32(error);
        }
        const RegistryRoots roots{perUser ? userClasses.Get() : HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE};
        if (!install) return unregisterServer(roots, perUser);
        const HRESULT hr = registerServer(roots, perUser);
        if (FAILED(hr)) unregisterServer(roots, perUser);
        return hr;
    });
}

HRESULT InstallServer(const Registrar& registrar, BOOL install, const wchar_t* commandLine) noexcept
{
    return InstallServer([&](const RegistryRoots& roots, bool) { return registrar.Register(roots); },
                         [&](const RegistryRoots& roots, bool) { return registrar.Unregister(roots); }, install,
                         commandLine);
}
