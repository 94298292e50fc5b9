// The library's five exports, through which the shell and the installer reach it.
#include "Framework/ClassFactory.h"
#include "Framework/ComObject.h"
#include "Framework/ModuleLock.h"
#include "Framework/ModulePath.h"
#include "Framework/Registrar.h"
#include "ShellIntegration/AutoPlayHandler.h"
#include "ShellIntegration/ContextMenuHandler.h"
#include "ShellIntegration/RegistryScripts.h"
#include "ShellIntegration/ShellIds.h"
#include <olectl.h>

extern "C" HRESULT STDAPICALLTYPE DllInstall(BOOL install, const wchar_t* commandLine);

namespace {
const ServerClass kShellClasses[] = {
    {kContextMenuHandlerClsid, &ComObject<CContextMenuHandler>::Create<>},
    {kAutoPlayHandlerClsid, &ComObject<CAutoPlayHandler>::Create<>},
};

// The registry scripts with this library's own path.
Registrar ShellRegistrar()
{
    const std::wstring module = ModulePathOfAddress(reinterpret_cast<const void*>(&DllRegisterServer));
    return Registrar(ShellRegistryScript(), {{L"%MODULE%", module}, {L"%APPID%", kShellAppId}});
}
}

STDAPI DllCanUnloadNow()
{
    return CanUnloadModule();
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    return GetServerClassObject(kShellClasses, clsid, iid, object);
}

STDAPI DllRegisterServer()
{
    return CatchAsHResult([] { return ShellRegistrar().Register(kMachineRegistryRoots); });
}

STDAPI DllUnregisterServer()
{
    return CatchAsHResult([] { return ShellRegistrar().Unregister(kMachineRegistryRoots); });
}

extern "C" HRESULT STDAPICALLTYPE DllInstall(BOOL install, const wchar_t* commandLine)
{
    return CatchAsHResult([&] { return InstallServer(ShellRegistrar(), install, commandLine); });
}
