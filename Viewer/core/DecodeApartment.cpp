#include "Viewer/core/DecodeApartment.h"
#include <cwchar>
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "Framework/CriticalSection.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/OsVersion.h"

namespace {
enum class Apartment { NotAsked, Sta, Mta };

constexpr wchar_t ImagingFactoryServerKey[] = L"CLSID\\{CACAF262-9370-4615-A13B-9F5539DA4C0A}\\InProcServer32";

bool ForcedSta()
{
    RegKey settings;
    settings.Open(HKEY_CURRENT_USER, AppSettings::KeyPath);
    return settings.QueryDword(L"WICForceSTA").value_or(0) != 0;
}

// Only a well-formed string counts: a text type, whole characters, and its own terminator.
bool RegistrationAllowsFreeThreading(HKEY classesRoot)
{
    RegKey server;
    if (server.Open(classesRoot, ImagingFactoryServerKey) != ERROR_SUCCESS) return false;
    wchar_t model[64]{};
    DWORD type = 0, bytes = sizeof(model);
    if (RegQueryValueExW(server.Get(), L"ThreadingModel", nullptr, &type, reinterpret_cast<BYTE*>(model), &bytes) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || bytes % sizeof(wchar_t) != 0)
        return false;
    if (bytes > 0 && model[bytes / sizeof(wchar_t) - 1] != L'\0') return false;
    return _wcsicmp(model, L"Both") == 0 || _wcsicmp(model, L"Free") == 0;
}
}

bool DecideMtaForDecoding(bool win7OrLater, HKEY classesRoot)
{
    if (ForcedSta()) return false;
    if (win7OrLater) return true;
    return RegistrationAllowsFreeThreading(classesRoot);
}

bool UseMtaForDecoding()
{
    LastActivityCode = 1.3;
    static CriticalSection decisionLock;
    static Apartment answer = Apartment::NotAsked;
    bool mta = false;
    {
        CriticalSectionScope scope(decisionLock);
        if (answer == Apartment::NotAsked)
            answer = DecideMtaForDecoding(IsWin7OrLater(), HKEY_CLASSES_ROOT) ? Apartment::Mta : Apartment::Sta;
        mta = answer == Apartment::Mta;
    }
    LastActivityCode = 2.3;
    return mta;
}
