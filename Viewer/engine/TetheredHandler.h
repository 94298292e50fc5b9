#pragma once
// The viewer's own AutoPlay handler for cameras: AutoPlay offers "Shoot tethered" when a portable
// device with pictures arrives, and choosing it starts the viewer, which is the class's local
// server. The handler itself has nothing to do; the started viewer watches the device.
#include "Framework/Registrar.h"
#include <windows.h>
#include <shobjidl.h>
#include <string>
#include <vector>

inline constexpr CLSID CLSID_TetheredHandler = {
    0xD8A6AFCA, 0x98F9, 0x4E87, {0x98, 0x98, 0x41, 0xD4, 0xF2, 0x48, 0xB1, 0x35}};
inline constexpr wchar_t kTetheredHandlerClsid[] = L"{D8A6AFCA-98F9-4E87-9898-41D4F248B135}";
inline constexpr wchar_t kTetheredHandlerProgId[] = L"Brenholt.Lumenfold.TetheredHandler.1";
inline constexpr wchar_t kTetheredHandlerIndependentProgId[] = L"Brenholt.Lumenfold.TetheredHandler";
// Below HKEY_LOCAL_MACHINE.
inline constexpr wchar_t kTetheredAutoPlayHandlerKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoPlayHandlers\\Handlers\\"
    L"Brenholt.Lumenfold.ShootTethered";
// The portable devices' pictures event.
inline constexpr wchar_t kTetheredAutoPlayEventKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoPlayHandlers\\EventHandlers\\WPD\\"
    L"{EF2107D5-A52A-4243-A26B-62D4176D7603}";

class CTetheredHandler : public IHWEventHandler {
public:
    HRESULT STDMETHODCALLTYPE Initialize(LPCWSTR parameters) override;
    HRESULT STDMETHODCALLTYPE HandleEvent(LPCWSTR deviceId, LPCWSTR altDeviceId, LPCWSTR eventType) override;
    HRESULT STDMETHODCALLTYPE HandleEventWithContent(LPCWSTR deviceId, LPCWSTR altDeviceId, LPCWSTR eventType,
                                                     LPCWSTR contentTypeHandler, IDataObject* data) override;

protected:
    void* FindInterface(REFIID iid) noexcept;
};

// The class, its ProgIDs and the AutoPlay handler of the pictures event. Placeholder: %MODULE%, the
// viewer program's full path.
std::vector<RegistryEntry> TetheredHandlerRegistryScript();

// Writes or removes the script's keys, the class as the program at programPath.
HRESULT RegisterTetheredHandler(const RegistryRoots& roots, const std::wstring& programPath) noexcept;
HRESULT UnregisterTetheredHandler(const RegistryRoots& roots) noexcept;

// The class object of the running viewer, offered to COM for its lifetime so that AutoPlay's
// request is answered by this process.
class TetheredHandlerClassObject {
public:
    TetheredHandlerClassObject() noexcept = default;
    TetheredHandlerClassObject(const TetheredHandlerClassObject&) = delete;
    TetheredHandlerClassObject& operator=(const TetheredHandlerClassObject&) = delete;
    ~TetheredHandlerClassObject() { Revoke(); }

    // COM must be initialised on the calling thread.
    HRESULT Register() noexcept;
    void Revoke() noexcept;

private:
    DWORD m_cookie = 0;
};
