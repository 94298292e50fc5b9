#pragma once
// The IUnknown of the classes an in-process server creates: one reference count, a hold on the
// module lock while the object lives, and aggregation.
//
// A class derives from its interfaces, leaves IUnknown's three methods to this template and answers
//     void* FindInterface(REFIID iid) noexcept
// with the pointer for each interface id it implements (null for any other; IUnknown is answered
// here). It is created only through ComObject<Class>::Create, which is the signature class
// factories call.
#include "Framework/HResultError.h"
#include "Framework/ModuleLock.h"
#include <objbase.h>
#include <atomic>
#include <memory>
#include <utility>

template <class Implementation>
class ComObject final : public Implementation {
public:
    // The object's identity is its inner IUnknown. An aggregated object (outer not null) hands every
    // IUnknown call of its interfaces to the outer object, which holds the inner one; it can only be
    // asked for IUnknown at creation.
    template <class... Arguments>
    static HRESULT Create(IUnknown* outer, REFIID iid, void** object, Arguments&&... arguments) noexcept
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer && iid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
        return CatchAsHResult([&] {
            auto created = std::make_unique<ComObject>(outer, std::forward<Arguments>(arguments)...);
            // From here on the reference count owns the object: the last Release deletes it.
            Inner& inner = created.release()->m_inner;
            inner.AddRef();
            const HRESULT hr = inner.QueryInterface(iid, object);
            inner.Release();
            return hr;
        });
    }

    template <class... Arguments>
    explicit ComObject(IUnknown* outer, Arguments&&... arguments)
        : Implementation(std::forward<Arguments>(arguments)...), m_inner(*this), m_controlling(outer ? outer : &m_inner)
    {
    }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        return m_controlling->QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return m_controlling->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return m_controlling->Release(); }

private:
    // The non-delegating IUnknown that owns the reference count.
    class Inner final : public IUnknown {
    public:
        explicit Inner(ComObject& owner) noexcept : m_owner(owner) {}

        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
        {
            if (!object) return E_POINTER;
            *object = iid == IID_IUnknown ? static_cast<IUnknown*>(this) : m_owner.FindInterface(iid);
            if (!*object) return E_NOINTERFACE;
            static_cast<IUnknown*>(*object)->AddRef();
            return S_OK;
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
        ULONG STDMETHODCALLTYPE Release() override
        {
            const ULONG remaining = --m_references;
            if (remaining == 0) delete &m_owner;
            return remaining;
        }

    private:
        ComObject& m_owner;
        std::atomic<ULONG> m_references{0};
    };

    ModuleReference m_moduleReference;
    Inner m_inner;
    IUnknown* m_controlling;
};
