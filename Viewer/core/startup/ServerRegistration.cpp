#include "Viewer/core/startup/ServerRegistration.h"
#include "Framework/HResultError.h"
#include "Framework/ModulePath.h"
#include "Viewer/core/CommandLine.h"
#include "Viewer/engine/TetheredHandler.h"

std::optional<int> RunServerRegistrationSwitch()
{
    const CommandLine commandLine;
    if (commandLine.FindOption(L"UnregServer")) return static_cast<int>(UnregisterTetheredHandler(kMachineRegistryRoots));
    if (!commandLine.FindOption(L"RegServer")) return std::nullopt;
    const HRESULT hr = CatchAsHResult([] {
        const std::wstring program = ModulePathOfAddress(reinterpret_cast<const void*>(&RunServerRegistrationSwitch));
        return RegisterTetheredHandler(kMachineRegistryRoots, program);
    });
    return static_cast<int>(hr);
}
