#include "Viewer/core/ActionPlugInHost.h"
#include "Framework/FaultGuard.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/FileSignature.h"
#include "Viewer/core/FrameMessages.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/core/ProcessTestHooks.h"
#include "Viewer/core/UpdateSchedule.h"
#include <comcat.h>
#include <commctrl.h>
#include <shlwapi.h>
#include <cwchar>
#include <iterator>

namespace {
constexpr UINT kTitleStringId = 100;
constexpr UINT kUntrustedPlugInStringId = 10180;
constexpr DWORD kServerPathBytes = 520;

std::wstring ProgIdOf(const CLSID& clsid)
{
    LPOLESTR progId = nullptr;
    if (FAILED(ProgIDFromCLSID(clsid, &progId))) return {};
    std::wstring text(progId);
    CoTaskMemFree(progId);
    return text;
}

void ReportUntrusted(const CLSID& clsid, LONG result)
{
    const std::wstring format = LoadUiString(kUntrustedPlugInStringId);
    wchar_t text[512] = L"";
    wnsprintfW(text, int(std::size(text)), format.c_str(), static_cast<unsigned>(result), ProgIdOf(clsid).c_str());
    ShowMessageBox(GetActiveWindow(), text, LoadUiString(kTitleStringId).c_str(), MB_TASKMODAL | MB_TOPMOST);
}

void ReportCrashedPlugIn(const ActionPlugInRecord& record)
{
    wchar_t text[1024] = L"";
    swprintf(text, std::size(text), L"A plug-in crashed during initialization (%ls)",
             record.ProgId.Empty() ? L"N/A" : record.ProgId.c_str());
    ShowMessageBox(GetActiveWindow(), text, LoadUiString(kTitleStringId).c_str(), MB_ICONERROR);
}

// The object's code must lie in the file whose signature was checked: its first interface's table
// of methods belongs to the module that made it.
bool ComesFromFile(IUnknown* object, const std::wstring& path)
{
    const void* methods = *reinterpret_cast<void* const*>(object);
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(methods), &module))
        return false;
    wchar_t loaded[MAX_PATH * 2] = L"";
    const DWORD length = GetModuleFileNameW(module, loaded, DWORD(std::size(loaded)));
    if (length == 0 || length >= std::size(loaded)) return false;
    wchar_t expected[MAX_PATH * 2] = L"";
    if (!GetFullPathNameW(path.c_str(), DWORD(std::size(expected)), expected, nullptr)) return false;
    return CompareStringOrdinal(loaded, -1, expected, -1, TRUE) == CSTR_EQUAL;
}

void Query(ActionPlugInRecord& record)
{
    IImageStackActionPlugIn* plugIn = record.PlugIn.Get();
    // The results are not tested: a plug-in is listed even when its getters fail.
    plugIn->Initialize(nullptr, record.LangId, nullptr);
    plugIn->GetDisplayName(&record.DisplayName);
    plugIn->GetDescription(&record.Description);
    plugIn->GetAuthorInformation(&record.AuthorInformation);
    plugIn->GetVersionInformation(&record.VersionInformation);
    tagLMFISAPCAPABILITIES capabilities = LMF_ISAPCAPS_NONE;
    plugIn->GetCapabilities(&capabilities);
    record.Capabilities = DWORD(capabilities);
    LONG hotkey = 0;
    plugIn->GetPreferredHotkey(&hotkey);
    record.PreferredHotkey = DWORD(hotkey);
}

BYTE AcceleratorFlags(DWORD hotkey) noexcept
{
    const BYTE modifiers = BYTE(hotkey >> 8);
    BYTE flags = FVIRTKEY | FNOINVERT;
    if (modifiers & HOTKEYF_ALT) flags |= FALT;
    if (modifiers & HOTKEYF_CONTROL) flags |= FCONTROL;
    if (modifiers & HOTKEYF_SHIFT) flags |= FSHIFT;
    return flags;
}

bool KeyTaken(const ACCEL* table, size_t count, BYTE flags, WORD key) noexcept
{
    constexpr BYTE kCompared = FVIRTKEY | FSHIFT | FCONTROL | FALT;
    for (size_t i = 0; i < count; ++i)
        if ((table[i].fVirt & FVIRTKEY) && table[i].key == key && (table[i].fVirt & kCompared) == (flags & kCompared))
            return true;
    return false;
}
}  // namespace

LONG VerifyPlugInSignature(const std::wstring& path)
{
    return VerifyFileSignature(path, WTD_UI_NONE);
}

std::wstring PlugInServerPath(const CLSID& clsid)
{
    wchar_t clsidText[40] = L"";
    if (!StringFromGUID2(clsid, clsidText, int(std::size(clsidText)))) return {};
    const std::wstring keyPath = std::wstring(L"CLSID\\") + clsidText + L"\\InprocServer32";
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    wchar_t value[kServerPathBytes / sizeof(wchar_t)] = L"";
    DWORD type = 0, bytes = sizeof(value);
    const LONG read = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
    RegCloseKey(key);
    const size_t chars = bytes / sizeof(wchar_t);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || bytes % sizeof(wchar_t) != 0 ||
        chars == 0 || value[chars - 1] != L'\0')
        return {};
    if (type == REG_SZ) return value;
    wchar_t expanded[MAX_PATH * 2] = L"";
    const DWORD length = ExpandEnvironmentStringsW(value, expanded, DWORD(std::size(expanded)));
    if (length == 0 || length > std::size(expanded)) return {};
    return expanded;
}

bool ValidateAndCreatePlugIn(ActionPlugInRecord& record, const SignatureVerifier& verify)
{
    // COM finds the class in HKEY_CLASSES_ROOT (a per-user class first, on Windows) and expands the
    // path: the same reading here, so that the file checked is the file loaded.
    const std::wstring server = PlugInServerPath(record.Clsid);
    if (server.empty()) return false;
    const LONG trust = verify(server);
    if (!IsAcceptedSignatureResult(trust)) {
        ReportUntrusted(record.Clsid, trust);
        return false;
    }
    LPOLESTR progId = nullptr;
    if (FAILED(ProgIDFromCLSID(record.Clsid, &progId))) return false;
    record.ProgId = progId;
    CoTaskMemFree(progId);
    if (FAILED(CoCreateInstance(record.Clsid, nullptr, CLSCTX_ALL, __uuidof(IImageStackActionPlugIn),
                                record.PlugIn.AsVoid())))
        return false;
    if (!ComesFromFile(record.PlugIn.Get(), server)) {
        record.PlugIn = nullptr;
        ReportUntrusted(record.Clsid, LONG(TRUST_E_SUBJECT_NOT_TRUSTED));
        return false;
    }
    Query(record);
    return true;
}

std::vector<ActionPlugInRecord> CreateActionPlugIns(WORD langId, const SignatureVerifier& verify)
{
    std::vector<ActionPlugInRecord> plugIns;
    LastActivityCode = 19.0;
    ComPtr<ICatInformation> categories;
    if (FAILED(CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_ALL, IID_ICatInformation,
                                categories.AsVoid())))
        return plugIns;
    CATID category = CATID_LumenfoldImageStackActionPlugIns;
    ComPtr<IEnumCLSID> classes;
    if (FAILED(categories->EnumClassesOfCategories(1, &category, 0, nullptr, &classes)) || !classes) return plugIns;
    CLSID clsid{};
    while (classes->Next(1, &clsid, nullptr) == S_OK) {
        LastActivityCode = 19.1;
        ActionPlugInRecord record;
        record.Clsid = clsid;
        record.LangId = langId;
        // A plug-in that faults or throws while it is made or queried is reported and left out; the
        // others still load. A faulted object is never called again, not even to release it.
        bool created = false, threw = false;
        const bool returned = RunCatchingFaults([&]() noexcept {
            try {
                created = ValidateAndCreatePlugIn(record, verify);
            } catch (...) {
                threw = true;
            }
        });
        if (!returned) record.PlugIn.Detach();
        if (!returned || threw) {
            ReportCrashedPlugIn(record);
            continue;
        }
        if (created) plugIns.push_back(std::move(record));
    }
    return plugIns;
}

HACCEL MergePlugInHotkeys(HACCEL frameTable, std::vector<ActionPlugInRecord>& plugIns)
{
    LastActivityCode = 20.0;
    ACCEL table[kAcceleratorLimit]{};
    size_t count = frameTable ? size_t(CopyAcceleratorTableW(frameTable, table, int(std::size(table)))) : 0;
    for (size_t i = 0; i < plugIns.size() && count < kAcceleratorLimit; ++i) {
        LastActivityCode = 21.0;
        ActionPlugInRecord& record = plugIns[i];
        const WORD key = LOBYTE(record.PreferredHotkey);
        const BYTE flags = AcceleratorFlags(record.PreferredHotkey);
        if (KeyTaken(table, count, flags, key)) continue;
        table[count++] = ACCEL{flags, key, WORD(kFirstPlugInCommand + i)};
        record.AssignedHotkey = record.PreferredHotkey;
    }
    LastActivityCode = 22.0;
    return CreateAcceleratorTableW(table, int(count));
}

int DetectPublishPlugIns()
{
    LastActivityCode = 3.0;
    int count = 0;
    RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows Live\\PublishPlugins", KEY_READ) == ERROR_SUCCESS) {
        for (DWORD index = 0; index < 64; ++index) {
            wchar_t name[260];
            DWORD length = DWORD(std::size(name));
            if (RegEnumKeyExW(key.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            ++count;
        }
    }
    LastActivityCode = 4.0;
    return count;
}

void RunStartupTasks(RegKey& settings, HWND frame, HACCEL frameTable, HANDLE stop, std::wstring_view feedAddress)
{
    StartupPlugIns handed;
    handed.plugIns = CreateActionPlugIns(WORD(LanguageResources::UiLangId));
    handed.accelerators = MergePlugInHotkeys(frameTable, handed.plugIns);
    LastActivityCode = 23.0;
    handed.publishPlugInCount = DetectPublishPlugIns();
    // The frame's thread reads its table and the list; it takes them itself, or declines once closed.
    const size_t plugInCount = handed.plugIns.size();
    DWORD_PTR taken = 0;
    if (!SendMessageTimeoutW(frame, WM_APP_STARTUP_PLUGINS, 0, reinterpret_cast<LPARAM>(&handed), SMTO_NORMAL, INFINITE,
                             &taken) ||
        taken != 1) {
        if (handed.accelerators) DestroyAcceleratorTable(handed.accelerators);
        handed.plugIns.clear();
    } else {
        RecordForTest(L"plug-ins", std::to_wstring(plugInCount));
    }

    if (!settings.Get() || (stop && WaitForSingleObject(stop, 0) == WAIT_OBJECT_0)) return;
    StartupUpdateResult found =
        RunDueUpdateCheck(settings, UpdateClockNow(), [&](UINT& ttl, Bstr& version, Bstr& description) {
            return RunAbandonableUpdateCheck(feedAddress, stop, ttl, version, description);
        });
    if (!found.newVersionAvailable) return;
    AppSettings::NewVersionDescription = std::move(found.description);
    AppSettings::NewVersionAvailable.store(true, std::memory_order_release);
}
