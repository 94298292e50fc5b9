#pragma once
// The part of the Windows Portable Devices client interface the device import uses, which the
// toolchain's headers lack: the manager, the device with its content, resources, capabilities and
// events, and the property keys and identifiers the import reads. The value collections come with
// the toolchain (portabledevicetypes.h).
#include <windows.h>
#include <objbase.h>
#include <portabledevicetypes.h>
#include <propkeydef.h>

struct IPortableDeviceContent;
struct IPortableDeviceCapabilities;
struct IPortableDeviceEventCallback;
struct IPortableDeviceResources;

struct IPortableDeviceManager : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetDevices(LPWSTR* deviceIds, DWORD* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE RefreshDeviceList() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDeviceFriendlyName(LPCWSTR deviceId, WCHAR* name, DWORD* length) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDeviceDescription(LPCWSTR deviceId, WCHAR* description, DWORD* length) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDeviceManufacturer(LPCWSTR deviceId, WCHAR* manufacturer, DWORD* length) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDeviceProperty(LPCWSTR deviceId, LPCWSTR propertyName, BYTE* data,
                                                        DWORD* size, DWORD* type) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPrivateDevices(LPWSTR* deviceIds, DWORD* count) = 0;
};
__CRT_UUID_DECL(IPortableDeviceManager, 0xa1567595, 0x4c2f, 0x4574, 0xa6, 0xfa, 0xec, 0xef, 0x91, 0x7b, 0x9a, 0x40)

struct IPortableDevice : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Open(LPCWSTR deviceId, IPortableDeviceValues* clientInformation) = 0;
    virtual HRESULT STDMETHODCALLTYPE SendCommand(DWORD flags, IPortableDeviceValues* parameters,
                                                  IPortableDeviceValues** results) = 0;
    virtual HRESULT STDMETHODCALLTYPE Content(IPortableDeviceContent** content) = 0;
    virtual HRESULT STDMETHODCALLTYPE Capabilities(IPortableDeviceCapabilities** capabilities) = 0;
    virtual HRESULT STDMETHODCALLTYPE Cancel() = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE Advise(DWORD flags, IPortableDeviceEventCallback* callback,
                                             IPortableDeviceValues* parameters, LPWSTR* cookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unadvise(LPCWSTR cookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPnPDeviceID(LPWSTR* deviceId) = 0;
};
__CRT_UUID_DECL(IPortableDevice, 0x625e2df8, 0x6392, 0x4cf0, 0x9a, 0xd1, 0x3c, 0xfa, 0x5f, 0x17, 0x77, 0x5c)

// Only the methods before Transfer are called; the rest of the table is never reached.
struct IPortableDeviceContent : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE EnumObjects(DWORD flags, LPCWSTR parentId, IPortableDeviceValues* filter,
                                                  IUnknown** objectIds) = 0;
    virtual HRESULT STDMETHODCALLTYPE Properties(IUnknown** properties) = 0;
    virtual HRESULT STDMETHODCALLTYPE Transfer(IPortableDeviceResources** resources) = 0;
};
__CRT_UUID_DECL(IPortableDeviceContent, 0x6a96ed84, 0x7c73, 0x4480, 0x99, 0x38, 0xbf, 0x5a, 0xf4, 0x77, 0xd4, 0x26)

// Only GetStream (the third method) is called.
struct IPortableDeviceResources : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSupportedResources(LPCWSTR objectId, IPortableDeviceKeyCollection** keys) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetResourceAttributes(LPCWSTR objectId, REFPROPERTYKEY key,
                                                            IPortableDeviceValues** attributes) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStream(LPCWSTR objectId, REFPROPERTYKEY key, DWORD mode,
                                                DWORD* optimalBufferSize, IStream** stream) = 0;
};
__CRT_UUID_DECL(IPortableDeviceResources, 0xfd8878ac, 0xd841, 0x4d17, 0x89, 0x1c, 0xe6, 0x82, 0x9c, 0xdb, 0x69, 0x34)

// Only the methods up to GetSupportedContentTypes (the fifth) are called.
struct IPortableDeviceCapabilities : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSupportedCommands(IPortableDeviceKeyCollection** commands) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCommandOptions(REFPROPERTYKEY command, IPortableDeviceValues** options) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFunctionalCategories(IPortableDevicePropVariantCollection** categories) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFunctionalObjects(REFGUID category,
                                                           IPortableDevicePropVariantCollection** objectIds) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSupportedContentTypes(REFGUID category,
                                                               IPortableDevicePropVariantCollection** contentTypes) = 0;
};
__CRT_UUID_DECL(IPortableDeviceCapabilities, 0x2c8c6dbf, 0xe3dc, 0x4061, 0xbe, 0xcc, 0x85, 0x42, 0xe8, 0x10, 0xd1,
                0x26)

struct IPortableDeviceEventCallback : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE OnEvent(IPortableDeviceValues* eventParameters) = 0;
};
__CRT_UUID_DECL(IPortableDeviceEventCallback, 0xa8792a31, 0xf385, 0x493c, 0xa8, 0x93, 0x40, 0xf6, 0x4e, 0xb4, 0x5f,
                0x6e)

inline constexpr CLSID CLSID_PortableDeviceManager = {
    0x0af10cec, 0x2ecd, 0x4b92, {0x95, 0x81, 0x34, 0xf6, 0xae, 0x06, 0x37, 0xf3}};
inline constexpr CLSID CLSID_PortableDeviceFTM = {
    0xf7c0039a, 0x4762, 0x488a, {0xb4, 0xb3, 0x76, 0x0e, 0xf9, 0xa1, 0xba, 0x9b}};

// The device type that the manager keeps for each device under this name; 1 is a camera.
inline constexpr wchar_t kPortableDeviceTypeProperty[] = L"PortableDeviceType";
inline constexpr DWORD kPortableDeviceTypeCamera = 1;

namespace Wpd {
inline constexpr GUID kClientInformation = {
    0x204d9f0c, 0x2292, 0x4080, {0x9f, 0x42, 0x40, 0x66, 0x4e, 0x70, 0xf8, 0x59}};
inline constexpr PROPERTYKEY ClientName = {kClientInformation, 2};
inline constexpr PROPERTYKEY ClientMajorVersion = {kClientInformation, 3};
inline constexpr PROPERTYKEY ClientMinorVersion = {kClientInformation, 4};
inline constexpr PROPERTYKEY ClientRevision = {kClientInformation, 5};
inline constexpr PROPERTYKEY ClientSecurityQualityOfService = {kClientInformation, 8};
inline constexpr PROPERTYKEY ClientDesiredAccess = {kClientInformation, 9};

inline constexpr GUID kObjectProperties = {
    0xef6b490d, 0x5cd8, 0x437a, {0xaf, 0xfc, 0xda, 0x8b, 0x60, 0xee, 0x4a, 0x3c}};
inline constexpr PROPERTYKEY ObjectId = {kObjectProperties, 2};
inline constexpr PROPERTYKEY ObjectName = {kObjectProperties, 4};
inline constexpr PROPERTYKEY ObjectContentType = {kObjectProperties, 7};
inline constexpr PROPERTYKEY ObjectOriginalFileName = {kObjectProperties, 12};

inline constexpr GUID kEventParameters = {
    0x15ab1953, 0xf817, 0x4fef, {0xa9, 0x21, 0x56, 0x76, 0xe8, 0x38, 0xf6, 0xe0}};
inline constexpr PROPERTYKEY EventPnpDeviceId = {kEventParameters, 2};
inline constexpr PROPERTYKEY EventId = {kEventParameters, 3};

inline constexpr PROPERTYKEY ResourceDefault = {
    {0xe81e79be, 0x34f0, 0x41bf, {0xb5, 0x3f, 0xf1, 0xa0, 0x6a, 0xe8, 0x78, 0x42}}, 0};

inline constexpr GUID ContentTypeImage = {
    0xef2107d5, 0xa52a, 0x4243, {0xa2, 0x6b, 0x62, 0xd4, 0x17, 0x6d, 0x76, 0x03}};
inline constexpr GUID ContentTypeFolder = {
    0x27e2e392, 0xa111, 0x48e0, {0xab, 0x0c, 0xe1, 0x77, 0x05, 0xa0, 0x5f, 0x85}};

inline constexpr GUID EventObjectAdded = {
    0xa726da95, 0xe207, 0x4b02, {0x8d, 0x44, 0xbe, 0xf2, 0xe8, 0x6c, 0xbf, 0xfc}};
inline constexpr GUID EventDeviceRemoved = {
    0xe4cbca1b, 0x6918, 0x48b9, {0x85, 0xee, 0x02, 0xbe, 0x7c, 0x85, 0x0a, 0xf9}};
}
