// The COM server pieces: objects with their reference count and module lock, aggregation, class
// factories and the library's own path.
#include "Framework/Bstr.h"
#include "Framework/ClassFactory.h"
#include "Framework/ComErrorInfo.h"
#include "Framework/ComObject.h"
#include "Framework/ComPtr.h"
#include "Framework/ModuleLock.h"
#include "Framework/ModulePath.h"
#include <gtest/gtest.h>
#include <oleauto.h>
#include <cwctype>

struct IGreeting : public IUnknown {
    virtual int STDMETHODCALLTYPE Answer() = 0;
};
__CRT_UUID_DECL(IGreeting, 0x5D0E6A0B, 0x2F3C, 0x4B7A, 0x9C, 0x1E, 0x7A, 0x8B, 0x9C, 0x0D, 0x1E, 0x2F)

namespace {

class Greeting : public IGreeting {
public:
    explicit Greeting(int answer = 42) : m_answer(answer) {}
    int STDMETHODCALLTYPE Answer() override { return m_answer; }

protected:
    void* FindInterface(REFIID iid) noexcept { return iid == __uuidof(IGreeting) ? static_cast<IGreeting*>(this) : nullptr; }

private:
    int m_answer;
};

// An outer object that only counts the references it is given.
class CountingOuter final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        ++queries;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    ULONG references = 1;
    int queries = 0;
};

const CLSID kGreetingClsid{0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};
const ServerClass kClasses[] = {{kGreetingClsid, &ComObject<Greeting>::Create<>}};
}

TEST(ComObject, AnObjectHoldsTheModuleLockForItsLifetime)
{
    const LONG before = ModuleLockCount();
    ComPtr<IGreeting> greeting;
    ASSERT_EQ(S_OK, ComObject<Greeting>::Create(nullptr, __uuidof(IGreeting), greeting.AsVoid(), 7));
    EXPECT_EQ(7, greeting->Answer());
    EXPECT_EQ(before + 1, ModuleLockCount());
    EXPECT_EQ(S_FALSE, CanUnloadModule());

    ComPtr<IUnknown> identity;
    ASSERT_EQ(S_OK, greeting.As(identity));
    ComPtr<IUnknown> again;
    ASSERT_EQ(S_OK, identity.As(again));
    EXPECT_EQ(identity.Get(), again.Get()) << "one identity";
    ComPtr<IClassFactory> other;
    EXPECT_EQ(E_NOINTERFACE, greeting.As(other));
    EXPECT_FALSE(other);

    greeting = nullptr;
    identity = nullptr;
    again = nullptr;
    EXPECT_EQ(before, ModuleLockCount());
}

TEST(ComObject, AnAggregatedObjectHandsItsReferencesToTheOuterObject)
{
    CountingOuter outer;
    IUnknown* inner = nullptr;
    ASSERT_EQ(S_OK, ComObject<Greeting>::Create(&outer, IID_IUnknown, reinterpret_cast<void**>(&inner)));
    EXPECT_EQ(1u, outer.references) << "the outer object holds the inner one, not the reverse";

    IGreeting* greeting = nullptr;
    ASSERT_EQ(S_OK, inner->QueryInterface(__uuidof(IGreeting), reinterpret_cast<void**>(&greeting)));
    EXPECT_EQ(2u, outer.references);
    ComPtr<IClassFactory> missing;
    EXPECT_EQ(E_NOINTERFACE, greeting->QueryInterface(IID_IClassFactory, missing.AsVoid()));
    EXPECT_EQ(1, outer.queries) << "the interfaces ask the outer object";
    greeting->Release();
    EXPECT_EQ(1u, outer.references);

    const LONG locked = ModuleLockCount();
    EXPECT_EQ(0u, inner->Release());
    EXPECT_EQ(locked - 1, ModuleLockCount());

    void* refused = &outer;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, ComObject<Greeting>::Create(&outer, __uuidof(IGreeting), &refused));
    EXPECT_EQ(nullptr, refused);
}

TEST(ClassFactory, ServesTheClassesOfItsTableAndLocksTheServer)
{
    const LONG before = ModuleLockCount();
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, GetServerClassObject(kClasses, IID_IClassFactory, IID_IClassFactory, factory.AsVoid()));
    ASSERT_EQ(S_OK, GetServerClassObject(kClasses, kGreetingClsid, IID_IClassFactory, factory.AsVoid()));
    EXPECT_EQ(before + 1, ModuleLockCount()) << "a factory counts as an object";

    ComPtr<IGreeting> greeting;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, __uuidof(IGreeting), greeting.AsVoid()));
    EXPECT_EQ(42, greeting->Answer());
    EXPECT_EQ(E_POINTER, factory->CreateInstance(nullptr, __uuidof(IGreeting), nullptr));

    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    greeting = nullptr;
    factory = nullptr;
    EXPECT_EQ(before + 1, ModuleLockCount());
    UnlockModule();
    EXPECT_EQ(before, ModuleLockCount());
}

TEST(ModulePath, IsThePathOfTheModuleHoldingTheAddress)
{
    wchar_t program[MAX_PATH]{};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    EXPECT_EQ(program, ModulePathOfAddress(reinterpret_cast<const void*>(&ModulePathOfAddress)));
}

TEST(ComErrorInfo, AFailureLeavesItsDescriptionForTheCaller)
{
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    EXPECT_EQ(S_FALSE, ReportComError(S_FALSE, IID_IClassFactory, L"Example.Thing.1"));
    ComPtr<IErrorInfo> error;
    EXPECT_EQ(S_FALSE, GetErrorInfo(0, &error)) << "a success leaves nothing";

    EXPECT_EQ(E_INVALIDARG, ReportComError(E_INVALIDARG, IID_IClassFactory, L"Example.Thing.1"));
    ASSERT_EQ(S_OK, GetErrorInfo(0, &error));
    Bstr source;
    Bstr description;
    GUID iid{};
    error->GetSource(&source);
    error->GetDescription(&description);
    error->GetGUID(&iid);
    EXPECT_EQ(std::wstring_view(L"Example.Thing.1"), source.View());
    EXPECT_EQ(IID_IClassFactory, iid);
    ASSERT_FALSE(description.Empty());
    EXPECT_FALSE(iswspace(description.View().back())) << "no line break at the end";
    error = nullptr;
    CoUninitialize();
}
