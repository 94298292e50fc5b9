#include "Viewer/ui/FramePlugInCommands.h"
#include "Framework/Bstr.h"
#include "Framework/ComPtr.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/LastActivity.h"
#include "Viewer/engine/ImageEntry.h"
#include "Viewer/ui/MainFrame.h"

namespace {
constexpr UINT kPlugInFailedString = 10165;

// The failing plug-in's own words, when it left any.
std::wstring FailureText()
{
    ComPtr<IErrorInfo> error;
    if (GetErrorInfo(0, &error) == S_OK && error) {
        Bstr description;
        if (SUCCEEDED(error->GetDescription(&description)) && !description.Empty())
            return std::wstring(description.View());
    }
    return LoadUiString(kPlugInFailedString);
}
}

HRESULT RunPlugInAction(HWND frame, IImageStackActionPlugIn& plugIn, CImageEntry& entry)
{
    LastActivityCode = 282.0;
    PostMessageW(frame, WM_APP_SHOW_CURSOR, 0, 0);
    const std::wstring& base = entry.GetBasePath();
    const Bstr path = base.empty() ? Bstr() : Bstr(base);
    const Bstr& extensions = entry.GetExtensions();
    LMFISAPPOSTACTIONBEHAVIOR behaviour = LMFISAP_POSTACTIONBEHAVIOR_DONOTHING;
    const HRESULT hr = plugIn.Process(frame, path.Get(), extensions.Get(), 0, &behaviour);
    if (FAILED(hr)) {
        ShowMessageBox(frame, FailureText().c_str(), L"", MB_ICONERROR);
        return hr;
    }
    if (behaviour == LMFISAP_POSTACTIONBEHAVIOR_REFRESHSTACK ||
        behaviour == LMFISAP_POSTACTIONBEHAVIOR_REFRESHSTACKANDREPAINT) {
        // The picture may have changed on disk: decode it again and show it.
        entry.ReleaseDecodedImage();
        PostMessageW(frame, WM_APP_GO_TO_ENTRY, reinterpret_cast<WPARAM>(&entry), 0);
    }
    return hr;
}

CFramePlugInCommands::~CFramePlugInCommands()
{
    WaitForActions();
}

void CFramePlugInCommands::WaitForActions() noexcept
{
    for (auto& action : m_actions) action->Join();
    m_actions.clear();
}

LRESULT CFramePlugInCommands::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    WaitForActions();
    handled = FALSE;
    return 0;
}

void CFramePlugInCommands::ForgetEndedActions()
{
    m_actions.remove_if([](const std::unique_ptr<WorkerThread>& action) { return !action->Running(); });
}

LRESULT CFramePlugInCommands::OnPlugInAction(WORD, WORD command, HWND, BOOL&)
{
    LastActivityCode = 280.0;
    ForgetEndedActions();
    CImageEngine& engine = m_frame.Engine();
    EntryRef entry(engine.GetEntryCount() ? engine.GetCurrentEntry(true) : nullptr);
    if (!entry) {
        PlayMessageBeep(MB_ICONEXCLAMATION);
        return 0;
    }
    const size_t index = command - kFirstPlugInCommand;
    if (index >= g_ActionPlugIns.size() || !g_ActionPlugIns[index].PlugIn) return 0;
    // The action keeps its own references: the list may be emptied and the entry leave the list meanwhile.
    ComPtr<IImageStackActionPlugIn> plugIn = g_ActionPlugIns[index].PlugIn;
    HWND frame = m_frame.m_hWnd;
    LastActivityCode = 281.0;
    auto action = std::make_unique<WorkerThread>();
    const HRESULT started = action->Start(
        L"plug-in action",
        [frame, plugIn, entry](WorkerThread&) { return RunPlugInAction(frame, *plugIn.Get(), *entry.Get()); },
        WorkerApartment::MultiThreaded);
    if (SUCCEEDED(started)) m_actions.push_back(std::move(action));
    return 0;
}
