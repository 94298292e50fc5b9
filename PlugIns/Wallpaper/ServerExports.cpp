// The library's five exports, through which the viewer (by COM) and the installer reach it.
#include "Framework/ClassFactory.h"
#include "Framework/ComObject.h"
#include "Framework/ModuleLock.h"
#include "Framework/Registrar.h"
#include "PlugIns/Wallpaper/SetAsWallpaper.h"
#include "PlugIns/Wallpaper/WallpaperIds.h"
#include "PlugIns/Wallpaper/WallpaperRegistration.h"
#include <olectl.h>

extern "C" HRESULT STDAPICALLTYPE DllInstall(BOOL install, const wchar_t* commandLine);

namespace {
const ServerClass kWallpaperClasses[] = {
    {kSetAsWallpaperClsid, &ComObject<CSetAsWallpaper>::Create<>},
};
}

STDAPI DllCanUnloadNow()
{
    return CanUnloadModule();
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    return GetServerClassObject(kWallpaperClasses, clsid, iid, object);
}

STDAPI DllRegisterServer()
{
    return RegisterWallpaperServer(kMachineRegistryRoots, false);
}

STDAPI DllUnregisterServer()
{
    return UnregisterWallpaperServer(kMachineRegistryRoots, false);
}

extern "C" HRESULT STDAPICALLTYPE DllInstall(BOOL install, const wchar_t* commandLine)
{
    return InstallServer(&RegisterWallpaperServer, &UnregisterWallpaperServer, install, commandLine);
}
