#include "Viewer/engine/ImageList.h"
#include "Framework/ComPtr.h"
#include "Viewer/engine/ExtensionList.h"
#include "Viewer/engine/NaturalOrder.h"
#include "Viewer/imaging/DecodePipeline.h"
#include "Viewer/imaging/MetadataReader.h"
#include "Viewer/imaging/WicFactory.h"
#include <shlwapi.h>
#include <algorithm>
#include <cwchar>

namespace {
constexpr HRESULT SharingViolation = HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION);
constexpr int SharingTries = 200;

// The platform's own codecs, whose lists come first and in this order.
const GUID* const PlatformContainers[] = {&GUID_ContainerFormatJpeg, &GUID_ContainerFormatWmp, &GUID_ContainerFormatBmp,
                                          &GUID_ContainerFormatPng,  &GUID_ContainerFormatIco, &GUID_ContainerFormatGif,
                                          &GUID_ContainerFormatTiff};

// A decoder for the file, trying a busy file again.
HRESULT OpenForReading(const wchar_t* path, ComPtr<IWICBitmapDecoder>& decoder) noexcept
{
    if (!g_WicFactory && FAILED(CreateWicFactoryIfMissing())) return E_UNEXPECTED;
    HRESULT hr = E_FAIL;
    for (int attempt = 0; attempt < SharingTries; ++attempt) {
        hr = g_WicFactory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                     &decoder);
        if (hr != SharingViolation) break;
        Sleep(DecodeRetryPause);
    }
    return hr;
}

int CompareExtensionLists(const CImageEntry& a, const CImageEntry& b) noexcept
{
    return CompareNaturally(a.GetExtensions().c_str(), b.GetExtensions().c_str());
}

// Merges one codec's list into the supported list.
void AddCodecInfo(std::wstring& supported, IWICBitmapDecoderInfo* info)
{
    GUID container = {};
    UINT length = 0;
    if (FAILED(info->GetContainerFormat(&container)) || FAILED(info->GetFileExtensions(0, nullptr, &length)) ||
        length == 0)
        return;
    std::wstring extensions(length, L'\0');
    if (FAILED(info->GetFileExtensions(length, extensions.data(), &length))) return;
    extensions.resize(wcslen(extensions.c_str()));
    MergeCodecExtensions(supported, std::move(extensions), container);
}

bool IsPlatformContainer(REFGUID container) noexcept
{
    for (const GUID* platform : PlatformContainers)
        if (IsEqualGUID(container, *platform)) return true;
    return false;
}
}

DWORD SortModeFromSetting(DWORD setting) noexcept
{
    return setting > 4 ? 0 : setting;
}

bool CompareEntries(const CImageEntry& a, const CImageEntry& b, DWORD sortMode) noexcept
{
    if (sortMode != 0 && a.GetSortTime() != b.GetSortTime())
        return static_cast<int64_t>(a.GetSortTime() - b.GetSortTime()) < 0;
    if (const int names = CompareNaturally(a.GetBasePath().c_str(), b.GetBasePath().c_str())) return names < 0;
    if (a.IsMultiPage() && b.IsMultiPage()) {
        if (const int extensions = CompareExtensionLists(a, b)) return extensions < 0;
        return a.GetPageIndex() < b.GetPageIndex();
    }
    if (a.IsMultiPage() != b.IsMultiPage()) return b.IsMultiPage();
    return CompareExtensionLists(a, b) < 0;
}

FILETIME ReadCaptureDate(const wchar_t* path, FILETIME fileTime, bool gpsFirst) noexcept
{
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICMetadataQueryReader> reader;
    GUID container = {};
    if (FAILED(OpenForReading(path, decoder)) || FAILED(decoder->GetContainerFormat(&container)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetMetadataQueryReader(&reader)))
        return fileTime;
    FILETIME captured;
    if (gpsFirst && ReadFrameDate(reader.Get(), container, {L"System.GPS.Date", L"/xmp/exif:GPSTimeStamp"}, &captured))
        return captured;
    if (ReadFrameDate(reader.Get(), container,
                      {L"System.Photo.DateTaken", L"/xmp/exif:DateTimeOriginal", L"/xmp/exif:DateTimeDigitized",
                       L"/ifd/exif/{ushort=36868}"},
                      &captured))
        return captured;
    return fileTime;
}

UINT GetPageCount(const wchar_t* path) noexcept
{
    ComPtr<IWICBitmapDecoder> decoder;
    UINT count = 0;
    if (FAILED(OpenForReading(path, decoder)) || FAILED(decoder->GetFrameCount(&count)) || count >= 65536) return 1;
    return count;
}

bool IsNativeExtension(const wchar_t* extension) noexcept
{
    if (extension && *extension == L'.') ++extension;
    return extension && ExtensionListHolds(L"jpg;png;gif;jpeg;jpe;jfif;exif;bmp;dib;rle;ico;cur;tga", extension);
}

bool IsMultiPageExtension(const wchar_t* extension) noexcept
{
    return extension && ExtensionListHolds(L".tif;.tiff;.gif;.djvu", extension);
}

bool IsSupportedExtension(const std::wstring& supported, const wchar_t* extension)
{
    return extension && *extension && ExtensionListHolds(supported, std::wstring(L"*") + extension);
}

void MergeCodecExtensions(std::wstring& supported, std::wstring codecExtensions, REFGUID container)
{
    CharLowerBuffW(codecExtensions.data(), static_cast<DWORD>(codecExtensions.size()));
    std::replace(codecExtensions.begin(), codecExtensions.end(), L',', L';');
    if (IsEqualGUID(container, GUID_ContainerFormatWmp) && !ExtensionListHolds(codecExtensions, L".hdp"))
        codecExtensions += L";.hdp";
    if (IsEqualGUID(container, GUID_ContainerFormatIco) && !ExtensionListHolds(codecExtensions, L".cur"))
        codecExtensions += L";.cur";
    ForEachExtension(codecExtensions, [&](std::wstring_view token) {
        const std::wstring pattern = L"*" + std::wstring(token);
        if (ExtensionListHolds(supported, pattern)) return;
        if (!supported.empty()) supported += L';';
        supported += pattern;
    });
}

std::wstring BuildSupportedList(IWICImagingFactory* factory, HANDLE codecsReady)
{
    std::wstring supported;
    for (const GUID* container : PlatformContainers) {
        ComPtr<IWICBitmapDecoder> decoder;
        ComPtr<IWICBitmapDecoderInfo> info;
        if (FAILED(factory->CreateDecoder(*container, &GUID_VendorMicrosoft, &decoder))) continue;
        SetEvent(codecsReady);
        if (SUCCEEDED(decoder->GetDecoderInfo(&info))) AddCodecInfo(supported, info.Get());
    }
    ComPtr<IEnumUnknown> codecs;
    if (FAILED(factory->CreateComponentEnumerator(WICDecoder, WICComponentEnumerateDefault, &codecs))) return supported;
    ComPtr<IUnknown> codec;
    while (codecs->Next(1, &codec, nullptr) == S_OK) {
        ComPtr<IWICBitmapDecoderInfo> info;
        GUID container = {};
        if (SUCCEEDED(codec.As(info)) && SUCCEEDED(info->GetContainerFormat(&container)) &&
            !IsPlatformContainer(container))
            AddCodecInfo(supported, info.Get());
    }
    return supported;
}
