#pragma once
// The built Lumenfold.dll loaded into the test as the shell loads it, with its five exports, and the
// shell's ways of creating its objects. The identities are written out here from the registration
// contract, not taken from the library.
#include "Framework/ComPtr.h"
#include "Framework/UniqueModule.h"
#include "tests/support/TestPaths.h"
#include <objbase.h>
#include <string>

inline const CLSID kContextMenuClsid{0xB4F3C99C, 0x6099, 0x4617, {0x80, 0x52, 0x82, 0xAB, 0xF0, 0x4C, 0x2F, 0x6E}};
inline const CLSID kAutoPlayClsid{0x057C7771, 0xF320, 0x4C2A, {0xA2, 0xEA, 0x74, 0x79, 0x45, 0xFA, 0x82, 0xF2}};

class ShellLibrary {
public:
    ShellLibrary() : m_path(TestProgramFolder() + L"\\Lumenfold.dll"), m_module(LoadLibraryW(m_path.c_str())) {}

    const std::wstring& Path() const noexcept { return m_path; }
    bool Loaded() const noexcept { return static_cast<bool>(m_module); }

    HRESULT CanUnloadNow() const { return Export<HRESULT(STDAPICALLTYPE*)()>("DllCanUnloadNow")(); }
    HRESULT RegisterServer() const { return Export<HRESULT(STDAPICALLTYPE*)()>("DllRegisterServer")(); }
    HRESULT UnregisterServer() const { return Export<HRESULT(STDAPICALLTYPE*)()>("DllUnregisterServer")(); }
    HRESULT Install(BOOL install, const wchar_t* commandLine) const
    {
        return Export<HRESULT(STDAPICALLTYPE*)(BOOL, const wchar_t*)>("DllInstall")(install, commandLine);
    }
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object) const
    {
        return Export<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>("DllGetClassObject")(clsid, iid, object);
    }

    // An object made through the library's own class factory, as the shell makes it; null on failure.
    template <class Interface>
    ComPtr<Interface> Create(REFCLSID clsid) const
    {
        ComPtr<IClassFactory> factory;
        ComPtr<Interface> object;
        if (SUCCEEDED(GetClassObject(clsid, IID_IClassFactory, factory.AsVoid())))
            factory->CreateInstance(nullptr, __uuidof(Interface), object.AsVoid());
        return object;
    }

private:
    template <class Function>
    Function Export(const char* name) const
    {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(m_module.get(), name)));
    }

    std::wstring m_path;
    UniqueModule m_module;
};

// The calling thread in a single-threaded apartment, as the shell's threads are.
class ApartmentThread {
public:
    ApartmentThread() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ApartmentThread(const ApartmentThread&) = delete;
    ApartmentThread& operator=(const ApartmentThread&) = delete;
    ~ApartmentThread()
    {
        if (SUCCEEDED(m_result)) CoUninitialize();
    }

private:
    HRESULT m_result;
};
