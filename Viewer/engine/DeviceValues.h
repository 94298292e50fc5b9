#pragma once
// The program's own collection of portable-device values: keys with their values, in the order they
// were set. It carries the import's client information where the system has none of its own, and
// the values of device events. Strings, unsigned integers and GUIDs are what these collections hold;
// every other kind of value is refused with E_NOTIMPL.
#include "Framework/CriticalSection.h"
#include "Viewer/engine/PortableDeviceApi.h"
#include <utility>
#include <vector>

class CDeviceValues : public IPortableDeviceValues {
public:
    CDeviceValues() = default;
    CDeviceValues(const CDeviceValues&) = delete;
    CDeviceValues& operator=(const CDeviceValues&) = delete;
    virtual ~CDeviceValues();

    // A new, empty collection with one reference.
    static HRESULT Create(IPortableDeviceValues** values) noexcept;

    HRESULT STDMETHODCALLTYPE GetCount(DWORD* count) override;
    HRESULT STDMETHODCALLTYPE GetAt(const DWORD index, PROPERTYKEY* key, PROPVARIANT* value) override;
    HRESULT STDMETHODCALLTYPE SetValue(REFPROPERTYKEY key, const PROPVARIANT* value) override;
    HRESULT STDMETHODCALLTYPE GetValue(REFPROPERTYKEY key, PROPVARIANT* value) override;
    HRESULT STDMETHODCALLTYPE SetStringValue(REFPROPERTYKEY key, LPCWSTR value) override;
    HRESULT STDMETHODCALLTYPE GetStringValue(REFPROPERTYKEY key, LPWSTR* value) override;
    HRESULT STDMETHODCALLTYPE SetUnsignedIntegerValue(REFPROPERTYKEY key, const ULONG value) override;
    HRESULT STDMETHODCALLTYPE GetUnsignedIntegerValue(REFPROPERTYKEY key, ULONG* value) override;
    HRESULT STDMETHODCALLTYPE SetSignedIntegerValue(REFPROPERTYKEY, const LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSignedIntegerValue(REFPROPERTYKEY, LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetUnsignedLargeIntegerValue(REFPROPERTYKEY, const ULONGLONG) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetUnsignedLargeIntegerValue(REFPROPERTYKEY, ULONGLONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSignedLargeIntegerValue(REFPROPERTYKEY, const LONGLONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSignedLargeIntegerValue(REFPROPERTYKEY, LONGLONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetFloatValue(REFPROPERTYKEY, const FLOAT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFloatValue(REFPROPERTYKEY, FLOAT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetErrorValue(REFPROPERTYKEY, const HRESULT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetErrorValue(REFPROPERTYKEY, HRESULT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetKeyValue(REFPROPERTYKEY, REFPROPERTYKEY) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetKeyValue(REFPROPERTYKEY, PROPERTYKEY*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetBoolValue(REFPROPERTYKEY, const WINBOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBoolValue(REFPROPERTYKEY, WINBOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetIUnknownValue(REFPROPERTYKEY, IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIUnknownValue(REFPROPERTYKEY, IUnknown**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetGuidValue(REFPROPERTYKEY key, REFGUID value) override;
    HRESULT STDMETHODCALLTYPE GetGuidValue(REFPROPERTYKEY key, GUID* value) override;
    HRESULT STDMETHODCALLTYPE SetBufferValue(REFPROPERTYKEY, BYTE*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBufferValue(REFPROPERTYKEY, BYTE**, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetIPortableDeviceValuesValue(REFPROPERTYKEY, IPortableDeviceValues*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIPortableDeviceValuesValue(REFPROPERTYKEY, IPortableDeviceValues**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetIPortableDevicePropVariantCollectionValue(
        REFPROPERTYKEY, IPortableDevicePropVariantCollection*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIPortableDevicePropVariantCollectionValue(
        REFPROPERTYKEY, IPortableDevicePropVariantCollection**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetIPortableDeviceKeyCollectionValue(REFPROPERTYKEY,
                                                                    IPortableDeviceKeyCollection*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIPortableDeviceKeyCollectionValue(REFPROPERTYKEY,
                                                                    IPortableDeviceKeyCollection**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetIPortableDeviceValuesCollectionValue(REFPROPERTYKEY,
                                                                       IPortableDeviceValuesCollection*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIPortableDeviceValuesCollectionValue(REFPROPERTYKEY,
                                                                       IPortableDeviceValuesCollection**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE RemoveValue(REFPROPERTYKEY key) override;
    HRESULT STDMETHODCALLTYPE CopyValuesFromPropertyStore(IPropertyStore*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyValuesToPropertyStore(IPropertyStore*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clear() override;

protected:
    void* FindInterface(REFIID iid) noexcept;

private:
    // Replaces the key's value, or adds it at the end.
    HRESULT Store(REFPROPERTYKEY key, const PROPVARIANT& value) noexcept;
    // The key's value of the given type: HRESULT_FROM_WIN32(ERROR_NOT_FOUND) without one,
    // DISP_E_TYPEMISMATCH when it holds another type.
    HRESULT Find(REFPROPERTYKEY key, VARTYPE type, const PROPVARIANT** value) noexcept;

    CriticalSection m_lock;
    std::vector<std::pair<PROPERTYKEY, PROPVARIANT>> m_values;
};
