#pragma once
// The profile folders of a test's viewer user. The viewers of the tests run under a user name of
// their own, and Wine names the profile after the user name: C:\users\<name>, which the prefix does
// not have for a name that never logged on. The shell's folders below it then do not exist, and the
// shell reports them as not found (0x80070002) unless the caller asks for them to be made. A real
// user always has them; the test makes the one it needs and removes the profile afterwards.
#include <string>

class ViewerUserProfile {
public:
    explicit ViewerUserProfile(const std::wstring& userName);
    ViewerUserProfile(const ViewerUserProfile&) = delete;
    ViewerUserProfile& operator=(const ViewerUserProfile&) = delete;
    ~ViewerUserProfile();

    // The user's local application-data folder, made; empty when it could not be made.
    const std::wstring& LocalApplicationData() const noexcept { return m_localApplicationData; }

private:
    std::wstring m_profile;
    std::wstring m_localApplicationData;
};
