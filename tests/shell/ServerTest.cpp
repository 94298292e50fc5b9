// The library as an in-process server: its class factories and when it may be unloaded.
#include "tests/shell/ShellFixture.h"

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
