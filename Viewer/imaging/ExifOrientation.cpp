#include "Viewer/imaging/ExifOrientation.h"
#include "Framework/ComPtr.h"
#include "Framework/HResultError.h"
#include "Framework/Variant.h"
#include "Viewer/imaging/FlipRotateSource.h"
#include "Viewer/imaging/WicFactory.h"
#include <cwchar>
#include <string>

WICBitmapTransformOptions OrientationToTransform(int orientation) noexcept
{
    switch (orientation) {
    case 2: return WICBitmapTransformFlipHorizontal;
    // Both flips rather than a half turn.
    case 3: return static_cast<WICBitmapTransformOptions>(WICBitmapTransformFlipHorizontal | WICBitmapTransformFlipVertical);
    case 4: return WICBitmapTransformFlipVertical;
    case 5: return static_cast<WICBitmapTransformOptions>(WICBitmapTransformRotate90 | WICBitmapTransformFlipHorizontal);
    case 6: return WICBitmapTransformRotate90;
    case 7: return static_cast<WICBitmapTransformOptions>(WICBitmapTransformRotate270 | WICBitmapTransformFlipHorizontal);
    case 8: return WICBitmapTransformRotate270;
    default: return WICBitmapTransformRotate0;
    }
}

WICBitmapTransformOptions GetOrientationTransform(IWICBitmapFrameDecode* frame) noexcept
{
    if (!frame) return WICBitmapTransformRotate0;
    ComPtr<IWICMetadataQueryReader> reader;
    if (FAILED(frame->GetMetadataQueryReader(&reader)) || !reader) return WICBitmapTransformRotate0;
    // The frame alone does not tell which container it came from; only that container's raw path answers.
    static const std::wstring jpegTagPath = std::wstring(L"/app1") + OrientationTagPath;
    PropVariant value;
    const wchar_t* const names[] = {L"System.Photo.Orientation", OrientationTagPath, jpegTagPath.c_str(),
                                    L"/xmp/tiff:Orientation"};
    bool found = false;
    for (const wchar_t* name : names)
        if ((found = SUCCEEDED(reader->GetMetadataByName(name, &value)))) break;
    if (!found) return WICBitmapTransformRotate0;
    const PROPVARIANT& v = value.Get();
    int orientation = v.vt == VT_LPWSTR ? (v.pwszVal ? static_cast<int>(wcstol(v.pwszVal, nullptr, 10)) : 0) : v.uiVal;
    return OrientationToTransform(orientation);
}

void ApplyExifOrientation(DecodeThreadContext*, IWICBitmapSource** sourceOut, IWICBitmapSource* source,
                          IWICBitmapFrameDecode* frame, uint8_t* rotatedFlag) noexcept
{
    if (rotatedFlag) *rotatedFlag = 0;
    *sourceOut = nullptr;
    if (!source) return;
    ComPtr<IWICBitmapSource> result(source);
    if (g_WicFactory) {
        CatchAsHResult([&] {
            WICBitmapTransformOptions transform = GetOrientationTransform(frame);
            if (transform == WICBitmapTransformRotate0) return S_OK;
            ComPtr<IWICBitmapFlipRotator> rotator;
            ThrowIfFailed(g_WicFactory->CreateBitmapFlipRotator(&rotator));
            if (FAILED(rotator->Initialize(source, transform))) return S_OK;
            result = CreateFlipRotateSource(rotator.Get(), source, transform);
            if (rotatedFlag) *rotatedFlag = 1;
            return S_OK;
        });
    }
    *sourceOut = result.Detach();
}
