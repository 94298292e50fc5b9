#pragma once
// The registration of an in-process server as a registry script: keys with string values, written
// with their placeholders (%MODULE%, ...) replaced, and removed again without touching the parent
// keys that the server shares with other programs.
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

enum class RegistryHive { ClassesRoot, LocalMachine };

enum class OnRemoval {
    // The key goes with all its subkeys: an entry of the server's own.
    DeleteKey,
    // Only the entry's named values go: the key is shared with other programs.
    DeleteValues,
};

struct RegistryValue {
    // Null for the key's default value.
    const wchar_t* name;
    const wchar_t* data;
};

struct RegistryEntry {
    RegistryHive hive;
    const wchar_t* path;
    std::vector<RegistryValue> values;
    OnRemoval removal;
};

struct Substitution {
    std::wstring placeholder;
    std::wstring text;
};

// Where the two hives of a script go.
struct RegistryRoots {
    HKEY classesRoot;
    HKEY localMachine;
};

inline const RegistryRoots kMachineRegistryRoots{HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE};

class Registrar {
public:
    Registrar(std::vector<RegistryEntry> script, std::vector<Substitution> substitutions)
        : m_script(std::move(script)), m_substitutions(std::move(substitutions))
    {
    }

    // Writes every entry in order (parents are created as needed); the first failure ends it.
    HRESULT Register(const RegistryRoots& roots) const noexcept;
    // Removes the entries in reverse order; an entry that is not there is no failure. Every entry is
    // tried; the result is the first failure.
    HRESULT Unregister(const RegistryRoots& roots) const noexcept;

private:
    // The text with every placeholder replaced.
    std::wstring Substitute(const wchar_t* text) const;
    void RegisterEntry(const RegistryEntry& entry, const RegistryRoots& roots) const;
    static void UnregisterEntry(const RegistryEntry& entry, const RegistryRoots& roots);

    std::vector<RegistryEntry> m_script;
    std::vector<Substitution> m_substitutions;
};

// DllInstall: with the command line "user" (in any case) the ClassesRoot entries go to the current
// user's classes (HKEY_CURRENT_USER\Software\Classes) and the LocalMachine entries stay machine-wide.
// Registers when install is non-zero, undoing a failed registration, else unregisters.
HRESULT InstallServer(const Registrar& registrar, BOOL install, const wchar_t* commandLine) noexcept;

// The same for a server that registers more than its script (a type library, say): each step gets
// the roots and whether the registration is the current user's.
using RegistrationStep = std::function<HRESULT(const RegistryRoots& roots, bool perUser)>;
HRESULT InstallServer(const RegistrationStep& registerServer, const RegistrationStep& unregisterServer, BOOL install,
                      const wchar_t* commandLine) noexcept;
