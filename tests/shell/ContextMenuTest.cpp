// The folder and drive verb as the shell drives it: Initialize with the selection, QueryContextMenu
// on a real popup menu, GetCommandString for the status-bar text, InvokeCommand.
#include "tests/shell/ShellFixture.h"
#include <memory>
#include <type_traits>

namespace {
class ShellContextMenu : public ShellFixture {};

constexpr UINT kFirstId = 100;

struct MenuDestroyer {
    void operator()(HMENU menu) const noexcept { DestroyMenu(menu); }
};
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

struct MenuCase {
    const char* name;
    UINT flags;
    HRESULT result;
};

// The text and command id of a menu's item at a position.
std::pair<std::wstring, UINT> ItemAt(HMENU menu, int position)
{
    wchar_t text[128]{};
    GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return {text, GetMenuItemID(menu, position)};
}
}

TEST_F(ShellContextMenu, InitializeKeepsOnlyOneSelectedItemWithAPath)
{
    struct Case {
        const char* name;
        ComPtr<IDataObject> data;
        HRESULT result;
    };
    const Case cases[] = {
        {"one folder", FileDropData::Create({L"C:\\Photos"}), S_OK},
        {"a drive", FileDropData::Create({L"E:\\"}), S_OK},
        {"two folders", FileDropData::Create({L"C:\\Photos", L"C:\\More"}), E_INVALIDARG},
        {"no item", FileDropData::Create({}), E_INVALIDARG},
        {"an empty path", FileDropData::Create({L""}), E_INVALIDARG},
        {"no file list", FileDropData::CreateWithoutFileList(), E_INVALIDARG},
        {"no data object", nullptr, E_INVALIDARG},
    };
    for (const Case& c : cases) {
        ComPtr<IShellExtInit> init = Library().Create<IShellExtInit>(kContextMenuClsid);
        ASSERT_TRUE(init);
        EXPECT_EQ(c.result, init->Initialize(nullptr, c.data.Get(), nullptr)) << c.name;
    }
}

TEST_F(ShellContextMenu, TheVerbStandsFirstUnlessOnlyTheDefaultOrVerbsAreAsked)
{
    const MenuCase cases[] = {
        {"normal", CMF_NORMAL, MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1)},
        {"explore", CMF_EXPLORE, MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1)},
        {"extended", CMF_EXTENDEDVERBS, MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1)},
        {"default only", CMF_DEFAULTONLY, MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0)},
        {"verbs only", CMF_VERBSONLY, MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0)},
        {"default only with explore", CMF_DEFAULTONLY | CMF_EXPLORE, MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0)},
    };
    for (const MenuCase& c : cases) {
        ComPtr<IContextMenu> handler = MenuOn({L"C:\\Photos"});
        ASSERT_TRUE(handler);
        const UniqueMenu menu(CreatePopupMenu());
        AppendMenuW(menu.get(), MF_STRING, 1, L"Open");
        AppendMenuW(menu.get(), MF_STRING, 2, L"Properties");
        // The shell asks for the verb's place after the first item; the verb goes to the top anyway.
        EXPECT_EQ(c.result, handler->QueryContextMenu(menu.get(), 1, kFirstId, kFirstId + 10, c.flags)) << c.name;
        const bool added = HRESULT_CODE(c.result) == 1;
        ASSERT_EQ(added ? 3 : 2, GetMenuItemCount(menu.get())) << c.name;
        if (added) {
            EXPECT_EQ(std::pair(std::wstring(L"Browse with Lumenfold..."), kFirstId), ItemAt(menu.get(), 0)) << c.name;
        }
        EXPECT_EQ(std::pair(std::wstring(L"Open"), 1u), ItemAt(menu.get(), added ? 1 : 0)) << c.name;
    }
}

TEST_F(ShellContextMenu, GetCommandStringGivesOnlyTheWideHelpTextOfTheVerb)
{
    struct Case {
        const char* name;
        UINT_PTR idCmd;
        UINT type;
        UINT chars;
        HRESULT result;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"help text", 0, GCS_HELPTEXTW, 128, S_OK, L"Launch Lumenfold to quickly browse this folder or drive."},
        {"help text cut to ten characters", 0, GCS_HELPTEXTW, 10, S_OK, L"Launch Lu"},
        {"verb name", 0, GCS_VERBW, 128, E_FAIL, L"untouched"},
        {"ANSI help text", 0, GCS_HELPTEXTA, 128, E_FAIL, L"untouched"},
        {"validation", 0, GCS_VALIDATEW, 128, E_FAIL, L"untouched"},
        {"another command", 1, GCS_HELPTEXTW, 128, E_INVALIDARG, L"untouched"},
    };
    ComPtr<IContextMenu> handler = MenuOn({L"C:\\Photos"});
    ASSERT_TRUE(handler);
    for (const Case& c : cases) {
        wchar_t text[128] = L"untouched";
        EXPECT_EQ(c.result, handler->GetCommandString(c.idCmd, c.type, nullptr, reinterpret_cast<CHAR*>(text), c.chars))
            << c.name;
        EXPECT_STREQ(c.text, text) << c.name;
    }
}

TEST_F(ShellContextMenu, InvokeCommandRefusesAStringVerbAndOtherOffsets)
{
    ComPtr<IContextMenu> handler = MenuOn({L"C:\\Photos"});
    ASSERT_TRUE(handler);
    CMINVOKECOMMANDINFO info{};
    info.cbSize = sizeof(info);
    info.lpVerb = "open";
    EXPECT_EQ(E_INVALIDARG, handler->InvokeCommand(&info));
    EXPECT_EQ(E_INVALIDARG, InvokeVerb(handler.Get(), 1));
    EXPECT_EQ(E_INVALIDARG, handler->InvokeCommand(nullptr));
    EXPECT_FALSE(StubCommandLine(500)) << "nothing was started";
}

TEST_F(ShellContextMenu, TheVerbStartsTheViewerOnTheSelectedFolder)
{
    SetAppPath(kInstallKey, StubProgram());
    ComPtr<IContextMenu> handler = MenuOn({L"C:\\Photos"});
    ASSERT_TRUE(handler);
    EXPECT_EQ(S_OK, InvokeVerb(handler.Get()));
    EXPECT_EQ(ExpectedCommandLine(L"C:\\Photos"), StubCommandLine().value_or(L"<not started>"));
}
