#include "Viewer/dialogs/EditorLaunch.h"
#include "Framework/ModalSeam.h"
#include "Viewer/dialogs/CompanionFiles.h"
#include "Viewer/dialogs/ExternalEditorList.h"

namespace {
constexpr int TrimRepetitions = 3;
constexpr DWORD TrimInterval = 1000;

// The editor's start pages in much of its own code and data: giving back the viewer's memory now
// lets it do so without paging the viewer's out piece by piece.
HRESULT TrimWorkingSet(WorkerThread& self)
{
    for (int trim = 0;; ++trim) {
        SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
        if (trim == TrimRepetitions) return S_OK;
        if (WaitForSingleObject(self.StopEvent(), TrimInterval) == WAIT_OBJECT_0) return S_OK;
    }
}
}

bool LaunchExternalEditor(const CImageEntry* entry, unsigned editor, unsigned file, WorkerThread& trimmer)
{
    const std::wstring picture = CompanionFilePath(entry, file);
    const std::wstring program = picture.empty() ? std::wstring() : ReadEditorEntry(editor);
    if (program.empty()) {
        PlayMessageBeep(MB_ICONHAND);
        return false;
    }
    const std::wstring parameters = L"\"" + picture + L"\"";
    if (!trimmer.Running()) trimmer.Start(L"trim", &TrimWorkingSet);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.lpFile = program.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    ExecuteWithShell(&info);
    return true;
}
