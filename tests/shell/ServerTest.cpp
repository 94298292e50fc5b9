// The library as an in-process server: its class factories and when it may be unloaded.
#include "Framework/Bstr.h"
#include "tests/shell/ShellFixture.h"
#include <oleauto.h>

namespace {
class ShellServer : public ShellFixture {
protected:
    ComPtr<IClassFactory> Factory(REFCLSID clsid) const
    {
        ComPtr<IClassFactory> factory;
        Library().GetClassObject(clsid, IID_IClassFactory, factory.AsVoid());
        return factory;
    }
};
}

TEST_F(ShellServer, TheLibraryStaysLoadedWhileAnObjectOrALockLives)
{
    ASSERT_TRUE(Library().Loaded());
    EXPECT_EQ(S_OK, Library().CanUnloadNow());

    ComPtr<IClassFactory> factory = Factory(kContextMenuClsid);
    ASSERT_TRUE(factory);
    EXPECT_EQ(S_FALSE, Library().CanUnloadNow());
    ComPtr<IContextMenu> menu;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IContextMenu, menu.AsVoid()));
    factory = nullptr;
    EXPECT_EQ(S_FALSE, Library().CanUnloadNow()) << "an object lives";
    menu = nullptr;
    EXPECT_EQ(S_OK, Library().CanUnloadNow());

    ASSERT_EQ(S_OK, Factory(kAutoPlayClsid)->LockServer(TRUE));
    EXPECT_EQ(S_FALSE, Library().CanUnloadNow()) << "the server is locked";
    ASSERT_EQ(S_OK, Factory(kAutoPlayClsid)->LockServer(FALSE));
    EXPECT_EQ(S_OK, Library().CanUnloadNow());
}

TEST_F(ShellServer, FactoriesServeOnlyTheTwoClassesAndTheirInterfaces)
{
    ComPtr<IClassFactory> factory;
    const CLSID other{0x00000000, 0x1111, 0x2222, {0x33, 0x33, 0x44, 0x44, 0x44, 0x44, 0x44, 0x44}};
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, Library().GetClassObject(other, IID_IClassFactory, factory.AsVoid()));
    EXPECT_EQ(E_POINTER, Library().GetClassObject(kAutoPlayClsid, IID_IClassFactory, nullptr));

    ComPtr<IUnknown> object;
    factory = Factory(kContextMenuClsid);
    ASSERT_TRUE(factory);
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IDropTarget, object.AsVoid()));
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IShellExtInit, object.AsVoid()));
    ComPtr<IContextMenu> menu;
    EXPECT_EQ(S_OK, object.As(menu));

    factory = Factory(kAutoPlayClsid);
    ASSERT_TRUE(factory);
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IDropTarget, object.AsVoid()));
    EXPECT_EQ(E_NOINTERFACE, object.As(menu));
}

TEST_F(ShellServer, BothClassesCanBeAggregated)
{
    // Any object serves as the outer one; only its identity matters here.
    ComPtr<IDataObject> outer = FileDropData::Create({});
    for (const CLSID& clsid : {kContextMenuClsid, kAutoPlayClsid}) {
        ComPtr<IClassFactory> factory = Factory(clsid);
        ASSERT_TRUE(factory);
        ComPtr<IUnknown> inner;
        EXPECT_EQ(S_OK, factory->CreateInstance(outer.Get(), IID_IUnknown, inner.AsVoid()));
        EXPECT_TRUE(inner);
        ComPtr<IUnknown> refused;
        EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer.Get(), IID_IDropTarget, refused.AsVoid()));
        EXPECT_FALSE(refused);
    }
}

TEST_F(ShellServer, FailuresLeaveCOMErrorInformation)
{
    struct Case {
        CLSID clsid;
        IID iid;
        const wchar_t* source;
    };
    const Case cases[] = {{kContextMenuClsid, IID_IContextMenu, L"Brenholt.Lumenfold.ContextMenuHandler.1"},
                          {kAutoPlayClsid, IID_IDropTarget, L"Brenholt.Lumenfold.AutoPlayHandler.1"}};
    for (const Case& c : cases) {
        ComPtr<ISupportErrorInfo> support = Library().Create<ISupportErrorInfo>(c.clsid);
        ASSERT_TRUE(support) << c.source;
        EXPECT_EQ(S_OK, support->InterfaceSupportsErrorInfo(c.iid)) << c.source;
        EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IClassFactory)) << c.source;
    }

    // No install key in the private machine hive: the start fails, and says so.
    ComPtr<IContextMenu> menu = MenuOn({L"C:\\Photos"});
    ASSERT_TRUE(menu);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), InvokeVerb(menu.Get()));
    ComPtr<IErrorInfo> error;
    ASSERT_EQ(S_OK, GetErrorInfo(0, &error));
    Bstr source;
    Bstr description;
    error->GetSource(&source);
    error->GetDescription(&description);
    EXPECT_EQ(std::wstring_view(cases[0].source), source.View());
    EXPECT_FALSE(description.Empty());

    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), DropOnAutoPlay(FileDropData::Create({L"E:\\A.JPG"}).Get()));
    ASSERT_EQ(S_OK, GetErrorInfo(0, &error));
    error->GetSource(&source);
    EXPECT_EQ(std::wstring_view(cases[1].source), source.View());
}
