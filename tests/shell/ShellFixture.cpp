#include "tests/shell/ShellFixture.h"
#include "Framework/RegKey.h"
#include "Framework/UniqueHandle.h"

std::wstring InstanceEventName(const std::wstring& user)
{
    return L"Lumenfold." + user + L".10180562_7e73_4c55_a206_da359ccedfdf";
}

ShellFixture::ShellFixture() : m_user(L"shell-" + UniqueName().substr(0, 8))
{
    // Under Wine the user name comes from this variable; the library's start reaches the stand-in
    // through the caller's environment.
    SetEnvironmentVariableW(L"WINEUSERNAME", m_user.c_str());
    SetEnvironmentVariableW(L"LUMENFOLD_SHELL_STUB_OUTPUT", m_temp.File(L"stub.txt").c_str());
}

void ShellFixture::SetAppPath(const wchar_t* installKey, const std::wstring& path)
{
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_LOCAL_MACHINE, installKey, KEY_ALL_ACCESS));
    ASSERT_EQ(ERROR_SUCCESS, key.SetString(L"AppPath", path));
}

std::optional<std::wstring> ShellFixture::StubCommandLine(DWORD timeoutMs) const
{
    const std::wstring path = m_temp.File(L"stub.txt");
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        const UniqueHandle file(
            CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            std::wstring text(GetFileSize(file.Get(), nullptr) / sizeof(wchar_t), L'\0');
            DWORD read = 0;
            ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
            return text;
        }
        if (GetTickCount64() >= end) return std::nullopt;
        Sleep(50);
    }
}

std::wstring ShellFixture::ExpectedCommandLine(const std::wstring& folder)
{
    return L"\"" + StubProgram() + L"\" -i \"" + folder + L"\"";
}

ComPtr<IContextMenu> ShellFixture::MenuOn(const std::vector<std::wstring>& items) const
{
    ComPtr<IShellExtInit> init = m_library.Create<IShellExtInit>(kContextMenuClsid);
    ComPtr<IContextMenu> menu;
    if (!init || FAILED(init->Initialize(nullptr, FileDropData::Create(items).Get(), nullptr)) ||
        FAILED(init.As(menu)))
        return nullptr;
    return menu;
}

HRESULT ShellFixture::InvokeVerb(IContextMenu* menu, UINT_PTR offset)
{
    CMINVOKECOMMANDINFO info{};
    info.cbSize = sizeof(info);
    info.lpVerb = MAKEINTRESOURCEA(offset);
    info.nShow = SW_SHOWNORMAL;
    return menu->InvokeCommand(&info);
}

HRESULT ShellFixture::DropOnAutoPlay(IDataObject* data) const
{
    ComPtr<IDropTarget> target = m_library.Create<IDropTarget>(kAutoPlayClsid);
    if (!target) return E_NOINTERFACE;
    DWORD effect = DROPEFFECT_COPY;
    const POINTL point{};
    return target->Drop(data, 0, point, &effect);
}
