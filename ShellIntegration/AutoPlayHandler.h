#pragma once
// The AutoPlay handler "View pictures": the shell drops the pictures found on a new volume on it,
// and the viewer is handed the highest folder among them.
#include <windows.h>
#include <oaidl.h>
#include <oleidl.h>

class CAutoPlayHandler : public IDropTarget, public ISupportErrorInfo {
public:
    // IDropTarget
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

    // ISupportErrorInfo: a failed drop leaves COM error information.
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

protected:
    void* FindInterface(REFIID iid) noexcept;
};
