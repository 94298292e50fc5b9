#pragma once
// Fake image-acquisition (WIA) cameras, where the platform's manager lists none and creates none:
// a manager that lists them with their device information and takes event registrations, a root
// item that finds the pictures by their full item names, and each picture's properties (name and
// extension) and file transfer. Each can fail a number of times before it answers, or hold a test's
// hook while it runs. They belong to the fake device world (FakeDevices.h), whose lock guards them.
#include "Framework/ComPtr.h"
#include "tests/imaging/FakeWic.h"
#include <wia.h>
#include <functional>
#include <map>
#include <string>
#include <vector>

// The toolchain's header gives the image-acquisition interfaces no identifiers for __uuidof, which
// the fakes' QueryInterface asks; they are the import library's.
template <> inline const GUID& __mingw_uuidof<IWiaDevMgr>() { return IID_IWiaDevMgr; }
template <> inline const GUID& __mingw_uuidof<IEnumWIA_DEV_INFO>() { return IID_IEnumWIA_DEV_INFO; }
template <> inline const GUID& __mingw_uuidof<IWiaItem>() { return IID_IWiaItem; }
template <> inline const GUID& __mingw_uuidof<IWiaPropertyStorage>() { return IID_IWiaPropertyStorage; }
template <> inline const GUID& __mingw_uuidof<IWiaDataTransfer>() { return IID_IWiaDataTransfer; }

class FakeDeviceWorld;

// A manager without the dialogs and program registrations, which the watcher never asks for.
class WiaManagerStubs : public FakeComObject<IWiaDevMgr> {
public:
    HRESULT STDMETHODCALLTYPE SelectDeviceDlg(HWND, LONG, LONG, BSTR*, IWiaItem**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SelectDeviceDlgID(HWND, LONG, LONG, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetImageDlg(HWND, LONG, LONG, LONG, IWiaItem*, BSTR, GUID*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE RegisterEventCallbackProgram(LONG, BSTR, const GUID*, BSTR, BSTR, BSTR, BSTR) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE RegisterEventCallbackCLSID(LONG, BSTR, const GUID*, const GUID*, BSTR, BSTR,
                                                         BSTR) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE AddDeviceDlg(HWND, LONG) override { return E_NOTIMPL; }
};

// One picture on the camera, under its full item name.
struct FakeWiaPicture {
    std::wstring itemName;
    std::wstring extension;
    std::string bytes;
    // FindItemByName, the reading of the properties and the transfer fail this many times before
    // they answer; -1: always.
    int findFailures = 0;
    int propertyFailures = 0;
    int transferFailures = 0;
    HRESULT transferFailure = WIA_ERROR_OFFLINE;
    // A failing transfer writes this much of the picture before it fails.
    size_t partialBytes = 0;
    // Called on the transfer's thread, outside the world's lock, before each transfer does its work.
    std::function<void()> onTransfer;
};

struct FakeWiaCamera {
    std::wstring id;
    std::wstring friendlyName;
    std::wstring vendor = L"Maker";
    std::wstring description = L"Digital camera";
    // A digital camera: the system keeps the device type in the high word.
    LONG type = 2 << 16;
    // The device information gives the identifier as a number instead of a string.
    bool idAsNumber = false;
    HRESULT createFailure = S_OK;
    // The registration of this event fails.
    GUID refusedEvent = GUID_NULL;
    std::map<std::wstring, FakeWiaPicture> items;

    // What the watcher and the import did with it.
    int creates = 0;
    std::vector<GUID> registeredEvents;
    int liveRegistrations = 0;
    ComPtr<IWiaEventCallback> itemCreatedCallback;
    ComPtr<IWiaEventCallback> disconnectedCallback;
    // The file named by each transfer, in order.
    std::vector<std::wstring> transferFiles;
};

// The manager of the world's WIA cameras.
HRESULT CreateFakeWiaManager(FakeDeviceWorld& world, IWiaDevMgr** manager);
