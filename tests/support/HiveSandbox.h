#pragma once
// Redirects predefined registry hives of the test process (HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE,
// HKEY_CURRENT_USER) to new private keys for the sandbox's lifetime, so that a test can register
// machine-wide and read every key back while other tests run beside it. (COM's own class lookup
// does not see the redirection.)
#include <windows.h>
#include <initializer_list>
#include <string>
#include <vector>

class HiveSandbox {
public:
    explicit HiveSandbox(std::initializer_list<HKEY> hives);
    HiveSandbox(const HiveSandbox&) = delete;
    HiveSandbox& operator=(const HiveSandbox&) = delete;
    ~HiveSandbox();

private:
    std::wstring m_path;
    std::vector<std::pair<HKEY, HKEY>> m_redirected;
};
