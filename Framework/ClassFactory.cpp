#include "Framework/ClassFactory.h"
#include "Framework/ComObject.h"
#include "Framework/ModuleLock.h"

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    return m_create(outer, iid, object);
}

HRESULT ClassFactory::LockServer(BOOL lock)
{
    if (lock)
        LockModule();
    else
        UnlockModule();
    return S_OK;
}

void* ClassFactory::FindInterface(REFIID iid) noexcept
{
    return iid == IID_IClassFactory ? static_cast<IClassFactory*>(this) : nullptr;
}

HRESULT GetServerClassObject(std::span<const ServerClass> classes, REFCLSID clsid, REFIID iid, void** object) noexcept
{
    if (!object) return E_POINTER;
    *object = nullptr;
    for (const ServerClass& serverClass : classes)
        if (serverClass.clsid == clsid) return ComObject<ClassFactory>::Create(nullptr, iid, object, serverClass.create);
    return CLASS_E_CLASSNOTAVAILABLE;
}
