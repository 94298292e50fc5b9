#include "PlugIns/Wallpaper/WallpaperRegistration.h"
#include "Framework/ComPtr.h"
#include "Framework/HResultError.h"
#include "Framework/ModulePath.h"
#include "PlugIns/Wallpaper/WallpaperIds.h"
#include "Shared/ActionPlugIn.h"
#include <comcat.h>
#include <cwchar>
#include <iterator>

// The import library has them; the platform headers of the toolchain do not declare them.
extern "C" {
HRESULT WINAPI RegisterTypeLibForUser(ITypeLib* library, OLECHAR* path, OLECHAR* helpFolder);
HRESULT WINAPI UnRegisterTypeLibForUser(REFGUID libraryId, WORD major, WORD minor, LCID locale, SYSKIND kind);
}

namespace {
constexpr auto ClassesRoot = RegistryHive::ClassesRoot;
constexpr auto DeleteKey = OnRemoval::DeleteKey;

constexpr wchar_t kClassText[] = L"Lumenfold SetAsWallpaper PlugIn";
constexpr wchar_t kClsidText[] = L"{2EFC8013-587A-492D-9EFD-3093B6871EEA}";
constexpr wchar_t kVersionIndependentProgId[] = L"Lumenfold.PlugIn.SetAsWallpaper";
constexpr wchar_t kClassKey[] = L"CLSID\\{2EFC8013-587A-492D-9EFD-3093B6871EEA}";

std::wstring ThisModule()
{
    return ModulePathOfAddress(reinterpret_cast<const void*>(&WallpaperRegistryScript));
}

Registrar WallpaperRegistrar()
{
    return Registrar(WallpaperRegistryScript(), {{L"%MODULE%", ThisModule()}, {L"%APPID%", kWallpaperAppId}});
}

ComPtr<ITypeLib> OwnTypeLibrary(const std::wstring& module)
{
    ComPtr<ITypeLib> library;
    ThrowIfFailed(LoadTypeLibEx(module.c_str(), REGKIND_NONE, &library));
    return library;
}

// Registers the category through the system's component categories manager; its result does not count.
void RegisterPlugInCategory() noexcept
{
    ComPtr<ICatRegister> categories;
    if (FAILED(CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_ALL, IID_ICatRegister,
                                reinterpret_cast<void**>(&categories))))
        return;
    CATEGORYINFO info{};
    info.catid = CATID_LumenfoldImageStackActionPlugIns;
    info.lcid = 0;
    wcsncpy(info.szDescription, kActionPlugInCategoryDescription, std::size(info.szDescription) - 1);
    categories->RegisterCategories(1, &info);
}
}  // namespace

std::vector<RegistryEntry> WallpaperRegistryScript()
{
    const std::wstring classKey(kClassKey);
    return {
        // The AppID; its parent key is everyone's and stays.
        {ClassesRoot, L"AppID\\{3A590F2B-A46D-48C5-899D-7AE111F7AF4E}", {{nullptr, kClassText}}, DeleteKey},
        {ClassesRoot, L"AppID\\Lumenfold.PlugIn.SetAsWallpaper.dll", {{L"AppID", L"%APPID%"}}, DeleteKey},

        // The ProgIDs and the class.
        {ClassesRoot, L"Lumenfold.PlugIn.SetAsWallpaper.1", {{nullptr, kClassText}}, DeleteKey},
        {ClassesRoot, L"Lumenfold.PlugIn.SetAsWallpaper.1\\CLSID", {{nullptr, kClsidText}}, DeleteKey},
        {ClassesRoot, L"Lumenfold.PlugIn.SetAsWallpaper", {{nullptr, kClassText}}, DeleteKey},
        {ClassesRoot, L"Lumenfold.PlugIn.SetAsWallpaper\\CLSID", {{nullptr, kClsidText}}, DeleteKey},
        {ClassesRoot, L"Lumenfold.PlugIn.SetAsWallpaper\\CurVer", {{nullptr, kWallpaperProgId}}, DeleteKey},
        {ClassesRoot, kClassKey, {{nullptr, kClassText}}, DeleteKey},
        {ClassesRoot, L"CLSID\\{2EFC8013-587A-492D-9EFD-3093B6871EEA}\\ProgID", {{nullptr, kWallpaperProgId}},
         DeleteKey},
        {ClassesRoot, L"CLSID\\{2EFC8013-587A-492D-9EFD-3093B6871EEA}\\VersionIndependentProgID",
         {{nullptr, kVersionIndependentProgId}}, DeleteKey},
        {ClassesRoot, L"CLSID\\{2EFC8013-587A-492D-9EFD-3093B6871EEA}\\Programmable", {}, DeleteKey},
        {ClassesRoot, L"CLSID\\{2EFC8013-587A-492D-9EFD-3093B6871EEA}\\InprocServer32",
         {{nullptr, L"%MODULE%"}, {L"ThreadingModel", L"Both"}}, DeleteKey},
        {ClassesRoot, L"CLSID\\{2EFC8013-587A-492D-9EFD-3093B6871EEA}\\TypeLib",
         {{nullptr, L"{8B16C253-A2E4-4260-B3B3-3DBF8CAB6B48}"}}, DeleteKey},
        {ClassesRoot,
         L"CLSID\\{2EFC8013-587A-492D-9EFD-3093B6871EEA}\\Implemented Categories\\"
         L"{ECA4A319-8ADD-4311-AF23-FBCF5C955BCD}",
         {}, DeleteKey},
    };
}

HRESULT RegisterWallpaperServer(const RegistryRoots& roots, bool perUser) noexcept
{
    return CatchAsHResult([&] {
        ThrowIfFailed(WallpaperRegistrar().Register(roots));
        const std::wstring module = ThisModule();
        ComPtr<ITypeLib> library = OwnTypeLibrary(module);
        auto* path = const_cast<wchar_t*>(module.c_str());
        ThrowIfFailed(perUser ? RegisterTypeLibForUser(library.Get(), path, nullptr)
                              : RegisterTypeLib(library.Get(), path, nullptr));
        RegisterPlugInCategory();
        return S_OK;
    });
}

HRESULT UnregisterWallpaperServer(const RegistryRoots& roots, bool perUser) noexcept
{
    const HRESULT scripts = WallpaperRegistrar().Unregister(roots);
    const HRESULT typeLibrary = CatchAsHResult([&] {
        const HRESULT hr = perUser ? UnRegisterTypeLibForUser(kWallpaperLibId, 1, 0, LOCALE_NEUTRAL, SYS_WIN64)
                                   : UnRegisterTypeLib(kWallpaperLibId, 1, 0, LOCALE_NEUTRAL, SYS_WIN64);
        // A type library that is not registered is already gone.
        return hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_CANTLOADLIBRARY ? S_OK : hr;
    });
    return FAILED(scripts) ? scripts : typeLibrary;
}
