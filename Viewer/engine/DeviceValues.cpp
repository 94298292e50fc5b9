#include "Viewer/engine/DeviceValues.h"
#include "Framework/ComObject.h"

CDeviceValues::~CDeviceValues()
{
    for (auto& [key, value] : m_values) PropVariantClear(&value);
}

HRESULT CDeviceValues::Create(IPortableDeviceValues** values) noexcept
{
    return ComObject<CDeviceValues>::Create<>(nullptr, __uuidof(IPortableDeviceValues), reinterpret_cast<void**>(values));
}

void* CDeviceValues::FindInterface(REFIID iid) noexcept
{
    return iid == __uuidof(IPortableDeviceValues) ? static_cast<IPortableDeviceValues*>(this) : nullptr;
}

HRESULT CDeviceValues::GetCount(DWORD* count)
{
    if (!count) return E_POINTER;
    CriticalSectionScope lock(m_lock);
    *count = static_cast<DWORD>(m_values.size());
    return S_OK;
}

HRESULT CDeviceValues::GetAt(const DWORD index, PROPERTYKEY* key, PROPVARIANT* value)
{
    CriticalSectionScope lock(m_lock);
    if (index >= m_values.size()) return E_INVALIDARG;
    if (key) *key = m_values[index].first;
    return value ? PropVariantCopy(value, &m_values[index].second) : S_OK;
}

HRESULT CDeviceValues::SetValue(REFPROPERTYKEY key, const PROPVARIANT* value)
{
    return value ? Store(key, *value) : E_POINTER;
}

HRESULT CDeviceValues::GetValue(REFPROPERTYKEY key, PROPVARIANT* value)
{
    if (!value) return E_POINTER;
    CriticalSectionScope lock(m_lock);
    for (const auto& [stored, held] : m_values) {
        if (stored == key) return PropVariantCopy(value, &held);
    }
    return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
}

HRESULT CDeviceValues::SetStringValue(REFPROPERTYKEY key, LPCWSTR text)
{
    if (!text) return E_POINTER;
    PROPVARIANT value{};
    value.vt = VT_LPWSTR;
    value.pwszVal = const_cast<LPWSTR>(text);
    return Store(key, value);
}

HRESULT CDeviceValues::GetStringValue(REFPROPERTYKEY key, LPWSTR* text)
{
    if (!text) return E_POINTER;
    *text = nullptr;
    CriticalSectionScope lock(m_lock);
    const PROPVARIANT* value = nullptr;
    if (const HRESULT hr = Find(key, VT_LPWSTR, &value); FAILED(hr)) return hr;
    const size_t bytes = (wcslen(value->pwszVal) + 1) * sizeof(wchar_t);
    *text = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*text) return E_OUTOFMEMORY;
    memcpy(*text, value->pwszVal, bytes);
    return S_OK;
}

HRESULT CDeviceValues::SetUnsignedIntegerValue(REFPROPERTYKEY key, const ULONG number)
{
    PROPVARIANT value{};
    value.vt = VT_UI4;
    value.ulVal = number;
    return Store(key, value);
}

HRESULT CDeviceValues::GetUnsignedIntegerValue(REFPROPERTYKEY key, ULONG* number)
{
    if (!number) return E_POINTER;
    CriticalSectionScope lock(m_lock);
    const PROPVARIANT* value = nullptr;
    if (const HRESULT hr = Find(key, VT_UI4, &value); FAILED(hr)) return hr;
    *number = value->ulVal;
    return S_OK;
}

HRESULT CDeviceValues::SetGuidValue(REFPROPERTYKEY key, REFGUID guid)
{
    PROPVARIANT value{};
    value.vt = VT_CLSID;
    value.puuid = const_cast<GUID*>(&guid);
    return Store(key, value);
}

HRESULT CDeviceValues::GetGuidValue(REFPROPERTYKEY key, GUID* guid)
{
    if (!guid) return E_POINTER;
    CriticalSectionScope lock(m_lock);
    const PROPVARIANT* value = nullptr;
    if (const HRESULT hr = Find(key, VT_CLSID, &value); FAILED(hr)) return hr;
    *guid = *value->puuid;
    return S_OK;
}

HRESULT CDeviceValues::RemoveValue(REFPROPERTYKEY key)
{
    CriticalSectionScope lock(m_lock);
    for (auto it = m_values.begin(); it != m_values.end(); ++it) {
        if (it->first == key) {
            PropVariantClear(&it->second);
            m_values.erase(it);
            return S_OK;
        }
    }
    return S_OK;
}

HRESULT CDeviceValues::Clear()
{
    CriticalSectionScope lock(m_lock);
    for (auto& [key, value] : m_values) PropVariantClear(&value);
    m_values.clear();
    return S_OK;
}

HRESULT CDeviceValues::Store(REFPROPERTYKEY key, const PROPVARIANT& value) noexcept
{
    PROPVARIANT copy{};
    if (const HRESULT hr = PropVariantCopy(&copy, &value); FAILED(hr)) return hr;
    CriticalSectionScope lock(m_lock);
    for (auto& [stored, held] : m_values) {
        if (stored == key) {
            PropVariantClear(&held);
            held = copy;
            return S_OK;
        }
    }
    return CatchAsHResult([&] {
        try {
            m_values.emplace_back(key, copy);
        } catch (...) {
            PropVariantClear(&copy);
            throw;
        }
        return S_OK;
    });
}

HRESULT CDeviceValues::Find(REFPROPERTYKEY key, VARTYPE type, const PROPVARIANT** value) noexcept
{
    for (const auto& [stored, held] : m_values) {
        if (stored != key) continue;
        if (held.vt != type) return DISP_E_TYPEMISMATCH;
        *value = &held;
        return S_OK;
    }
    return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
}
