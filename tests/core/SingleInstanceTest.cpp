// The running viewer's side of the single-instance rule. The waking side broadcasts to every window
// of the desktop, so it is tested with real processes only (tests/process).
#include "Viewer/core/SingleInstance.h"
#include "Framework/UniqueHandle.h"
#include <gtest/gtest.h>
#include <objbase.h>

namespace {
// Under Wine the user name comes from this variable: a name of the test's own keeps its marker apart.
class OwnUserName {
public:
    OwnUserName()
    {
        GUID guid{};
        CoCreateGuid(&guid);
        wchar_t text[64]{};
        StringFromGUID2(guid, text, 64);
        name = L"single-instance-" + std::wstring(text + 1, 8);
        SetEnvironmentVariableW(L"WINEUSERNAME", name.c_str());
    }
    std::wstring name;
};

bool MarkerExists(const std::wstring& user)
{
    return static_cast<bool>(
        UniqueHandle(OpenEventW(SYNCHRONIZE, FALSE, FormatInstanceEventName(user.c_str()).c_str())));
}
}

TEST(SingleInstance, MarkerNameCarriesTheUserName)
{
    EXPECT_EQ(L"Lumenfold.alice.10180562_7e73_4c55_a206_da359ccedfdf", FormatInstanceEventName(L"alice"));
    EXPECT_EQ(L"Lumenfold.J\u00f6rg M.10180562_7e73_4c55_a206_da359ccedfdf", FormatInstanceEventName(L"J\u00f6rg M"));
}

TEST(SingleInstance, FirstStartKeepsTheMarkerAndRegistersTheWakeUpMessage)
{
    OwnUserName user;
    EXPECT_FALSE(WakeRunningInstance(L"-i \"C:\\p\""));
    EXPECT_NE(nullptr, InstanceEvent);
    EXPECT_EQ(RegisterWindowMessageW(L"WM_LUMENFOLD_WAKEUP"), WakeUpMessage);
    EXPECT_NE(0u, WakeUpMessage);
    EXPECT_TRUE(MarkerExists(user.name));

    CloseInstanceEvent();
    EXPECT_EQ(nullptr, InstanceEvent);
    EXPECT_FALSE(MarkerExists(user.name)) << "a later start runs as the first instance";
    CloseInstanceEvent();
    EXPECT_EQ(nullptr, InstanceEvent);
}
