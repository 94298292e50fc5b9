#pragma once
// The action plug-in host: finds the plug-ins through their component category, accepts only a
// server file with a trusted signature that is the very file COM loaded, creates and queries each,
// and turns their preferred hot keys into accelerators for commands 3000 + index. Runs on the
// start-up thread; what it made goes to the frame by a sent message.
#include "Framework/Bstr.h"
#include "Framework/ComPtr.h"
#include "Framework/RegKey.h"
#include "Shared/ActionPlugIn.h"
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

struct ActionPlugInRecord {
    CLSID Clsid{};
    WORD LangId = 0;
    Bstr ProgId;
    Bstr DisplayName;
    Bstr Description;
    Bstr AuthorInformation;
    Bstr VersionInformation;
    DWORD Capabilities = 0;
    DWORD PreferredHotkey = 0;
    DWORD AssignedHotkey = 0;
    DWORD Enabled = 1;
    ComPtr<IImageStackActionPlugIn> PlugIn;
};

// The process-wide list; written on the user-interface thread only (when the frame takes the
// start-up's list), emptied before COM goes.
inline std::vector<ActionPlugInRecord> g_ActionPlugIns;
// Publishing plug-ins of the system, counted at start-up.
inline int g_PublishPlugInCount = 0;

inline constexpr WORD kFirstPlugInCommand = 3000;
inline constexpr size_t kAcceleratorLimit = 256;

// What the start-up hands to the frame with WM_APP_STARTUP_PLUGINS (lParam: this, wParam 0). A frame
// that takes it returns 1 and owns the list and the table from then on; a closed frame declines.
struct StartupPlugIns {
    std::vector<ActionPlugInRecord> plugIns;
    HACCEL accelerators = nullptr;
    int publishPlugInCount = 0;
};

// WinVerifyTrust of the server file; tests replace it to stand for other answers of the system.
using SignatureVerifier = std::function<LONG(const std::wstring& path)>;
LONG VerifyPlugInSignature(const std::wstring& path);

// The server file COM loads for the class: HKEY_CLASSES_ROOT's InprocServer32, expanded. Empty when
// there is none.
std::wstring PlugInServerPath(const CLSID& clsid);

// Verifies, creates and queries one plug-in whose CLSID and LangId are set. False when it was
// skipped (an untrusted file after its message; a missing server path silently).
bool ValidateAndCreatePlugIn(ActionPlugInRecord& record, const SignatureVerifier& verify = VerifyPlugInSignature);

// Every plug-in of the category, in enumeration order; a plug-in that throws is reported and skipped.
std::vector<ActionPlugInRecord> CreateActionPlugIns(WORD langId,
                                                    const SignatureVerifier& verify = VerifyPlugInSignature);

// The frame's table with an accelerator for each plug-in's hot key that no entry has yet (up to 256
// entries); sets each record's AssignedHotkey. The new table is the caller's.
HACCEL MergePlugInHotkeys(HACCEL frameTable, std::vector<ActionPlugInRecord>& plugIns);

int DetectPublishPlugIns();

// The start-up's task list: plug-ins, hot keys and publishing plug-ins, handed to the frame; then the
// due update check of feedAddress, which a signalled stop abandons. settings may be closed.
void RunStartupTasks(RegKey& settings, HWND frame, HACCEL frameTable, HANDLE stop, std::wstring_view feedAddress);
