#include "Framework/ComObject.h"
#include "Framework/ComPtr.h"
#include "Framework/ModulePath.h"
#include "Framework/RegKey.h"
#include "Viewer/engine/TetheredHandler.h"
#include "tests/support/HiveSandbox.h"
#include "tests/support/RegistryReadBack.h"
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {
constexpr wchar_t Program[] = L"C:\\Program Files\\Lumenfold\\Lumenfold.exe";
constexpr wchar_t ClassKey[] = L"CLSID\\{D8A6AFCA-98F9-4E87-9898-41D4F248B135}";

std::optional<std::wstring> Text(const wchar_t* text)
{
    return std::wstring(text);
}

TEST(TetheredHandler, EveryMethodSucceedsWithoutDoingAnything)
{
    ComPtr<IHWEventHandler> handler;
    ASSERT_EQ(S_OK, ComObject<CTetheredHandler>::Create(nullptr, IID_IHWEventHandler, handler.AsVoid()));
    EXPECT_EQ(S_OK, handler->Initialize(nullptr));
    EXPECT_EQ(S_OK, handler->HandleEvent(L"\\\\?\\usb#camera", nullptr, L"WPD"));
    EXPECT_EQ(S_OK, handler->HandleEventWithContent(nullptr, nullptr, nullptr, nullptr, nullptr));
    ComPtr<IDropTarget> other;
    EXPECT_EQ(E_NOINTERFACE, handler.As(other));
}

class TetheredHandlerRegistration : public testing::Test {
protected:
    HiveSandbox hives{HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE};
};

TEST_F(TetheredHandlerRegistration, TheClassAndItsAutoPlayHandlerAreWrittenAndRemoved)
{
    // Another program's handler of the same event stays.
    RegKey shared;
    ASSERT_EQ(ERROR_SUCCESS, shared.Create(HKEY_LOCAL_MACHINE, kTetheredAutoPlayEventKey, KEY_WRITE));
    ASSERT_EQ(ERROR_SUCCESS, shared.SetString(L"OtherProgram.Import", L""));

    ASSERT_EQ(S_OK, RegisterTetheredHandler(kMachineRegistryRoots, Program));
    const std::wstring classKey(ClassKey);
    EXPECT_EQ(L"\"" + std::wstring(Program) + L"\"",
              ReadRegistryString(HKEY_CLASSES_ROOT, (classKey + L"\\LocalServer32").c_str(), nullptr));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, (classKey + L"\\InprocServer32").c_str()));
    EXPECT_EQ(Text(kTetheredHandlerProgId), ReadRegistryString(HKEY_CLASSES_ROOT, (classKey + L"\\ProgID").c_str(), nullptr));
    EXPECT_EQ(Text(kTetheredHandlerIndependentProgId),
              ReadRegistryString(HKEY_CLASSES_ROOT, (classKey + L"\\VersionIndependentProgID").c_str(), nullptr));
    for (const wchar_t* progId : {L"Brenholt.Lumenfold.TetheredHandler.1\\CLSID", L"Brenholt.Lumenfold.TetheredHandler\\CLSID"})
        EXPECT_EQ(Text(kTetheredHandlerClsid), ReadRegistryString(HKEY_CLASSES_ROOT, progId, nullptr)) << progId;
    EXPECT_EQ(Text(kTetheredHandlerProgId),
              ReadRegistryString(HKEY_CLASSES_ROOT, L"Brenholt.Lumenfold.TetheredHandler\\CurVer", nullptr));

    const struct {
        const wchar_t* name;
        const wchar_t* data;
    } handlerValues[] = {{L"Provider", L"Lumenfold"}, {L"Action", L"Shoot tethered"}, {L"DefaultIcon", Program},
                         {L"ProgID", kTetheredHandlerProgId}, {L"InitCmdLine", L""}};
    for (const auto& value : handlerValues)
        EXPECT_EQ(Text(value.data), ReadRegistryString(HKEY_LOCAL_MACHINE, kTetheredAutoPlayHandlerKey, value.name))
            << value.name;
    EXPECT_EQ(Text(L""),
              ReadRegistryString(HKEY_LOCAL_MACHINE, kTetheredAutoPlayEventKey, L"Brenholt.Lumenfold.ShootTethered"));

    ASSERT_EQ(S_OK, UnregisterTetheredHandler(kMachineRegistryRoots));
    for (const wchar_t* key : {ClassKey, L"Brenholt.Lumenfold.TetheredHandler", L"Brenholt.Lumenfold.TetheredHandler.1"})
        EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, key)) << key;
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kTetheredAutoPlayHandlerKey));
    EXPECT_EQ(std::nullopt,
              ReadRegistryString(HKEY_LOCAL_MACHINE, kTetheredAutoPlayEventKey, L"Brenholt.Lumenfold.ShootTethered"));
    EXPECT_EQ(Text(L""), ReadRegistryString(HKEY_LOCAL_MACHINE, kTetheredAutoPlayEventKey, L"OtherProgram.Import"));
    // Removing what is not there is no failure.
    EXPECT_EQ(S_OK, UnregisterTetheredHandler(kMachineRegistryRoots));
}

// COM's class lookup sees only the machine-wide registration of the prefix, so this registers for
// real, under the lock of every test that registers classes.
class TetheredHandlerComRegistration : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))); }
    void TearDown() override
    {
        classObject.Revoke();
        UnregisterTetheredHandler(kMachineRegistryRoots);
        CoUninitialize();
    }
    TetheredHandlerClassObject classObject;
};

TEST_F(TetheredHandlerComRegistration, TheRunningViewerAnswersCoCreateInstance)
{
    const std::wstring self = ModulePathOfAddress(reinterpret_cast<const void*>(&RegisterTetheredHandler));
    ASSERT_EQ(S_OK, RegisterTetheredHandler(kMachineRegistryRoots, self));
    ASSERT_EQ(S_OK, classObject.Register());

    CLSID clsid{};
    ASSERT_EQ(S_OK, CLSIDFromProgID(kTetheredHandlerIndependentProgId, &clsid));
    EXPECT_EQ(CLSID_TetheredHandler, clsid);
    ComPtr<IHWEventHandler> handler;
    ASSERT_EQ(S_OK, handler.CoCreate(clsid, CLSCTX_LOCAL_SERVER));
    EXPECT_EQ(S_OK, handler->Initialize(L""));
    EXPECT_EQ(S_OK, handler->HandleEvent(L"device", nullptr, L"WPD"));
    handler.Release();

    // Once the viewer has withdrawn it, nobody answers in its place.
    classObject.Revoke();
    UnregisterTetheredHandler(kMachineRegistryRoots);
    EXPECT_TRUE(FAILED(handler.CoCreate(clsid, CLSCTX_LOCAL_SERVER)));
}
}  // namespace
