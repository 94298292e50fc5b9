// The shell finds the classes through COM once the library is registered. COM's class lookup sees
// only the machine-wide registration of the prefix (never a redirected hive), so these tests
// register for real and take the lock of every test that registers classes.
#include "tests/shell/ShellFixture.h"

namespace {
class ShellComRegistration : public ShellFixture {
protected:
    ShellComRegistration() { m_registered = Library().RegisterServer(); }
    ~ShellComRegistration() override { Library().UnregisterServer(); }

    HRESULT m_registered = E_FAIL;
};
}

TEST_F(ShellComRegistration, TheShellCreatesBothHandlersThroughCom)
{
    ASSERT_EQ(S_OK, m_registered);

    ComPtr<IShellExtInit> init;
    ASSERT_EQ(S_OK, init.CoCreate(kContextMenuClsid));
    ASSERT_EQ(S_OK, init->Initialize(nullptr, FileDropData::Create({L"C:\\Photos"}).Get(), nullptr));
    ComPtr<IContextMenu> menu;
    ASSERT_EQ(S_OK, init.As(menu));
    const HMENU popup = CreatePopupMenu();
    EXPECT_EQ(MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1), menu->QueryContextMenu(popup, 0, 1, 1, CMF_NORMAL));
    DestroyMenu(popup);

    CLSID autoPlay{};
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"Brenholt.Lumenfold.AutoPlayHandler", &autoPlay));
    EXPECT_EQ(kAutoPlayClsid, autoPlay);
    ComPtr<IDropTarget> target;
    ASSERT_EQ(S_OK, target.CoCreate(autoPlay));
    DWORD effect = DROPEFFECT_NONE;
    EXPECT_EQ(S_OK, target->DragEnter(nullptr, 0, POINTL{}, &effect));
    EXPECT_EQ(DWORD(DROPEFFECT_COPY), effect);
}
