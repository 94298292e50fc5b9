// The viewer as the local server of its AutoPlay class: it registers the class with its own path,
// COM starts it for the class and the started viewer answers, and it removes the class again.
#include "tests/process/ViewerFixture.h"
#include "tests/support/RegistryReadBack.h"
#include "tests/support/ScopedComApartment.h"
#include "Framework/ComPtr.h"
#include "Viewer/engine/TetheredHandler.h"

namespace {
const std::wstring kClassKey = std::wstring(L"CLSID\\") + kTetheredHandlerClsid;

// Registers classes in the prefix: the tests holding the lock of class registration.
class AutoPlayServerProcess : public ViewerFixture {
protected:
    ~AutoPlayServerProcess() override
    {
        CloseEveryViewer();
        UnregisterTetheredHandler(kMachineRegistryRoots);
    }

    std::optional<DWORD> RunSwitch(const wchar_t* registrationSwitch) const
    {
        ViewerProcess viewer(registrationSwitch, Environment());
        const std::optional<DWORD> code = viewer.WaitForExit(kExitTimeoutMs);
        EXPECT_EQ(nullptr, viewer.WaitForFrame(0)) << "a registration shows no window";
        return code;
    }
};
}

TEST_F(AutoPlayServerProcess, RegServerMakesTheViewerTheClassServerThatComStartsAndUnregServerRemovesIt)
{
    ASSERT_EQ(0u, RunSwitch(L"/RegServer"));
    EXPECT_EQ(L"\"" + BuiltViewerProgram() + L"\"",
              ReadRegistryString(HKEY_LOCAL_MACHINE, (L"SOFTWARE\\Classes\\" + kClassKey + L"\\LocalServer32").c_str(),
                                 nullptr));
    EXPECT_EQ(BuiltViewerProgram(), ReadRegistryString(HKEY_LOCAL_MACHINE, kTetheredAutoPlayHandlerKey, L"DefaultIcon"));

    {
        // The viewer COM starts is this test's: it inherits the test's settings and log.
        SetInheritedViewerEnvironment(Environment());
        // IUnknown: the prefix has no proxy of the AutoPlay interface to carry it between processes.
        const ScopedComApartment apartment(COINIT_MULTITHREADED);
        ComPtr<IUnknown> handler;
        EXPECT_EQ(S_OK, handler.CoCreate(CLSID_TetheredHandler, CLSCTX_LOCAL_SERVER));
        handler.Release();
        CloseEveryViewer();
    }

    EXPECT_EQ(0u, RunSwitch(L"-unregserver"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, kClassKey.c_str()));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kTetheredAutoPlayHandlerKey));
    const ScopedComApartment apartment(COINIT_MULTITHREADED);
    ComPtr<IUnknown> handler;
    EXPECT_EQ(REGDB_E_CLASSNOTREG, handler.CoCreate(CLSID_TetheredHandler, CLSCTX_LOCAL_SERVER));
}
