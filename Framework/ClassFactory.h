#pragma once
// The class factories of an in-process server and the DllGetClassObject that hands them out.
#include <objbase.h>
#include <span>

// Creates one object of a class, aggregated when outer is not null (ComObject<Class>::Create).
using CreateInstanceFunction = HRESULT (*)(IUnknown* outer, REFIID iid, void** object);

struct ServerClass {
    const CLSID& clsid;
    CreateInstanceFunction create;
};

class ClassFactory : public IClassFactory {
public:
    explicit ClassFactory(CreateInstanceFunction create) noexcept : m_create(create) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

protected:
    void* FindInterface(REFIID iid) noexcept;

private:
    CreateInstanceFunction m_create;
};

// DllGetClassObject over the server's classes: a new factory of the class asked for, or
// CLASS_E_CLASSNOTAVAILABLE.
HRESULT GetServerClassObject(std::span<const ServerClass> classes, REFCLSID clsid, REFIID iid, void** object) noexcept;
