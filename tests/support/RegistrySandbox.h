#pragma once
// Redirects HKEY_CURRENT_USER of the test process to a new private key for the sandbox's lifetime,
// so that tests running in parallel in one Wine prefix never see each other's settings.
#include <windows.h>
#include <string>

class RegistrySandbox {
public:
    RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;
    ~RegistrySandbox();

    // The real path of the private key, below HKEY_CURRENT_USER.
    const std::wstring& RealPath() const noexcept { return m_path; }

private:
    std::wstring m_path;
    HKEY m_key = nullptr;
};
