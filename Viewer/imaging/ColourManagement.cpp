#include "Viewer/imaging/ColourManagement.h"
#include "Framework/HResultError.h"
#include "Framework/ModalSeam.h"
#include "Framework/ResourceModule.h"
#include "Framework/Variant.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/ProcessState.h"
#include "Viewer/imaging/IccProfile.h"
#include "Viewer/imaging/MakerNotes.h"
#include "Viewer/imaging/TextCompare.h"
#include "Viewer/imaging/WicFactory.h"
#include <shlwapi.h>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {
constexpr UINT WarningCaption = 10028;
constexpr UINT InvalidTargetProfileText = 10029;
constexpr UINT UnreadableProfileText = 10030;
constexpr UINT ExifSpaceSrgb = 1;
constexpr UINT ExifSpaceUncalibrated = 0xFFFF;
constexpr HRESULT InvalidProfile = HRESULT_FROM_WIN32(ERROR_INVALID_PROFILE);

using ContextPtr = ComPtr<IWICColorContext>;

// Hands a profile name to the caller's optional out-string.
void SetProfileName(Bstr* out, Bstr name)
{
    if (out) *out = std::move(name);
}

bool HasTargetSetting()
{
    return !AppSettings::CustomTargetColorProfile.Empty();
}

void WarnOnce(UINT textId, HRESULT failure)
{
    if (++ProfileWarningCount != 1) return;
    wchar_t text[4096];
    wnsprintfW(text, 4096, LoadResourceString(textId).c_str(), failure);
    ShowMessageBox(GetActiveWindow(), text, LoadResourceString(WarningCaption).c_str(),
                   MB_ICONWARNING | MB_TASKMODAL | MB_TOPMOST);
}

ContextPtr NewContext()
{
    ContextPtr context;
    ThrowIfFailed(g_WicFactory->CreateColorContext(&context));
    return context;
}

ContextPtr ExifSpaceContext(UINT space)
{
    ContextPtr context = NewContext();
    ThrowIfFailed(context->InitializeFromExifColorSpace(space));
    return context;
}

// The first name of the list that the frame's metadata answers with a blob.
bool ReadBlob(IWICBitmapFrameDecode* frame, std::initializer_list<const wchar_t*> names, PropVariant& value)
{
    ComPtr<IWICMetadataQueryReader> reader;
    if (FAILED(frame->GetMetadataQueryReader(&reader)) || !reader) return false;
    for (const wchar_t* name : names) {
        if (SUCCEEDED(reader->GetMetadataByName(name, &value))) return value.Type() == VT_BLOB;
    }
    return false;
}

// A profile kept in the EXIF InterColorProfile tag.
bool ReadExifProfile(IWICBitmapFrameDecode* frame, ContextPtr& context)
{
    PropVariant value;
    if (!ReadBlob(frame, {L"/ifd/{ushort=34675}", L"/ifd/exif/{ushort=34675}", L"/app1/ifd/exif/{ushort=34675}"}, value))
        return false;
    if (!context) context = NewContext();
    const BLOB& blob = value.Get().blob;
    return SUCCEEDED(context->InitializeFromMemory(blob.pBlobData, blob.cbSize));
}

ContextPtr TargetContext()
{
    if (!HasTargetSetting()) return ExifSpaceContext(ExifSpaceSrgb);
    Bstr path = GetTargetProfilePath();
    if (!path.Get()) return ExifSpaceContext(ExifSpaceSrgb);
    ContextPtr context = NewContext();
    ThrowIfFailed(context->InitializeFromFilename(path.c_str()));
    return context;
}

// The transformer from the source context to the target; the source itself when WIC cannot make one.
// With allowProfileRetry, a target profile that the transformer rejects is replaced by sRGB once.
ComPtr<IWICBitmapSource> MakeTransformer(IWICBitmapSource* source, IWICColorContext* sourceContext,
                                         ContextPtr targetContext, REFWICPixelFormatGUID targetFormat, bool warn,
                                         bool allowProfileRetry)
{
    ComPtr<IWICBitmapSource> unchanged(source);
    WICPixelFormatGUID sourceFormat;
    ThrowIfFailed(source->GetPixelFormat(&sourceFormat));
    for (bool retried = false;; retried = true) {
        ComPtr<IWICColorTransform> transformer;
        ThrowIfFailed(g_WicFactory->CreateColorTransformer(&transformer));
        HRESULT hr = transformer->Initialize(source, sourceContext, targetContext.Get(), sourceFormat);
        if (hr == WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT) {
            if (IsEqualGUID(sourceFormat, targetFormat)) return unchanged;
            ComPtr<IWICFormatConverter> converter;
            ThrowIfFailed(g_WicFactory->CreateFormatConverter(&converter));
            ThrowIfFailed(converter->Initialize(source, targetFormat, WICBitmapDitherTypeNone, nullptr, 0.0,
                                                WICBitmapPaletteTypeCustom));
            ThrowIfFailed(g_WicFactory->CreateColorTransformer(&transformer));
            hr = transformer->Initialize(converter.Get(), sourceContext, targetContext.Get(), targetFormat);
        }
        if (hr == InvalidProfile && allowProfileRetry) {
            if (retried || !HasTargetSetting()) return unchanged;
            targetContext = ExifSpaceContext(ExifSpaceSrgb);
            if (warn) WarnOnce(InvalidTargetProfileText, InvalidProfile);
            continue;
        }
        if (FAILED(hr)) return unchanged;
        return ComPtr<IWICBitmapSource>(transformer.Get());
    }
}

ComPtr<IWICBitmapSource> TransformFromFrame(IWICBitmapSource* source, IWICBitmapFrameDecode* frame, bool warn,
                                            REFWICPixelFormatGUID targetFormat, Bstr* profileNameOut,
                                            bool skipWithoutProfile)
{
    ComPtr<IWICBitmapSource> unchanged(source);
    const bool hasTarget = HasTargetSetting();

    ContextPtr sourceContext;
    UINT count = 0;
    HRESULT contextError = frame->GetColorContexts(0, nullptr, &count);
    if (SUCCEEDED(contextError) && count > 0) {
        sourceContext = NewContext();
        IWICColorContext* first = sourceContext.Get();
        contextError = frame->GetColorContexts(1, &first, &count);
    }
    if (FAILED(contextError)) {
        count = 0;
        if (!warn && hasTarget) contextError = S_OK;
    }
    if (count == 0 && ReadExifProfile(frame, sourceContext)) {
        count = 1;
        contextError = S_OK;
    }
    if (count == 0 && skipWithoutProfile) return {};
    if (FAILED(contextError)) {
        if (warn) WarnOnce(UnreadableProfileText, contextError);
        return unchanged;
    }
    if (count == 0 && !hasTarget) return unchanged;

    UINT exifSpace = ExifSpaceUncalibrated;
    if (count > 0) {
        if (FAILED(sourceContext->GetExifColorSpace(&exifSpace))) exifSpace = ExifSpaceUncalibrated;
    } else {
        sourceContext = ExifSpaceContext(ExifSpaceUncalibrated);
    }
    WICColorContextType type = WICColorContextUninitialized;
    ThrowIfFailed(sourceContext->GetType(&type));
    if (type == WICColorContextProfile) {
        Bstr description = GetColorContextDescription(sourceContext.Get());
        if (description.View().find(L"sRGB ") != std::wstring_view::npos || SameText(description.View(), L"sRGB"))
            exifSpace = ExifSpaceSrgb;
        SetProfileName(profileNameOut, std::move(description));
    }
    // The default target is sRGB: nothing to convert.
    if (!hasTarget && (type != WICColorContextProfile || exifSpace == ExifSpaceSrgb)) return unchanged;
    return MakeTransformer(source, sourceContext.Get(), TargetContext(), targetFormat, warn, true);
}

ContextPtr ResourceProfileContext(UINT id)
{
    HMODULE program = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(program, MAKEINTRESOURCEW(id), RT_RCDATA);
    DWORD size = resource ? SizeofResource(program, resource) : 0;
    HGLOBAL loaded = size ? LoadResource(program, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) throw HResultError(E_UNEXPECTED);
    ContextPtr context = NewContext();
    ThrowIfFailed(context->InitializeFromMemory(static_cast<const BYTE*>(bytes), size));
    return context;
}

int MakerNoteColorSpace(IWICBitmapFrameDecode* frame)
{
    PropVariant value;
    if (!ReadBlob(frame, {L"System.Photo.MakerNote", L"/ifd/exif/{ushort=37500}", L"/app1/ifd/exif/{ushort=37500}"},
                  value))
        return ColorSpaceNone;
    const BLOB& blob = value.Get().blob;
    int space = ReadNikonColorSpace(blob.cbSize, blob.pBlobData);
    if (space < 1) space = ReadCanonColorSpace(blob.cbSize, blob.pBlobData);
    if (space < 1) space = ReadOlympusColorSpace(blob.cbSize, blob.pBlobData);
    return space;
}

ComPtr<IWICBitmapSource> TransformPreview(IWICBitmapSource* source, IWICBitmapFrameDecode* frame, bool warn,
                                          REFWICPixelFormatGUID targetFormat, Bstr* profileNameOut)
{
    ComPtr<IWICBitmapSource> made = TransformFromFrame(source, frame, warn, targetFormat, profileNameOut, true);
    ComPtr<IWICColorTransform> transformer;
    if (made && SUCCEEDED(made.As(transformer))) return made;

    ComPtr<IWICBitmapSource> unchanged(source);
    int space = MakerNoteColorSpace(frame);
    ContextPtr sourceContext;
    const wchar_t* name = nullptr;
    if (space == ColorSpaceAdobeRgb || space == ColorSpaceProPhotoRgb) {
        bool adobe = space == ColorSpaceAdobeRgb;
        sourceContext = ResourceProfileContext(adobe ? AdobeRgbProfileResource : ProPhotoRgbProfileResource);
        name = adobe ? L"Adobe RGB" : L"ProPhoto RGB";
    } else if (space < 1 || space == ColorSpaceSrgb) {
        if (!HasTargetSetting()) return unchanged;
        sourceContext = ExifSpaceContext(ExifSpaceSrgb);
        name = L"sRGB IEC61966-2.1";
    } else {
        return unchanged;
    }
    ComPtr<IWICBitmapSource> result =
        MakeTransformer(source, sourceContext.Get(), TargetContext(), targetFormat, warn, false);
    if (result.Get() != source) SetProfileName(profileNameOut, Bstr(name));
    return result;
}

// Runs a transform step; any failure raised inside leaves the picture unconverted.
template <class Step>
ComPtr<IWICBitmapSource> Guarded(IWICBitmapSource* source, IWICBitmapFrameDecode* frame, Bstr* profileNameOut,
                                 Step&& step)
{
    if (!source || !frame) return {};
    ComPtr<IWICBitmapSource> unchanged(source);
    if (!g_WicFactory) return unchanged;
    if (profileNameOut) profileNameOut->Free();
    try {
        return step();
    } catch (...) {
        return unchanged;
    }
}
}

ComPtr<IWICBitmapSource> CreateColorTransform(IWICBitmapSource* source, IWICBitmapFrameDecode* frame, bool warn,
                                              REFWICPixelFormatGUID targetFormat, Bstr* profileNameOut,
                                              bool skipWithoutProfile)
{
    return Guarded(source, frame, profileNameOut, [&] {
        return TransformFromFrame(source, frame, warn, targetFormat, profileNameOut, skipWithoutProfile);
    });
}

ComPtr<IWICBitmapSource> CreatePreviewColorTransform(IWICBitmapSource* source, IWICBitmapFrameDecode* frame, bool warn,
                                                     REFWICPixelFormatGUID targetFormat, Bstr* profileNameOut)
{
    return Guarded(source, frame, profileNameOut,
                   [&] { return TransformPreview(source, frame, warn, targetFormat, profileNameOut); });
}

Bstr GetFrameColorProfileName(IWICBitmapFrameDecode* frame)
{
    if (!frame || !g_WicFactory) return {};
    try {
        UINT count = 0;
        ThrowIfFailed(frame->GetColorContexts(0, nullptr, &count));
        if (count == 0) return {};
        ContextPtr context = NewContext();
        IWICColorContext* first = context.Get();
        ThrowIfFailed(frame->GetColorContexts(1, &first, &count));
        WICColorContextType type = WICColorContextUninitialized;
        ThrowIfFailed(context->GetType(&type));
        return type == WICColorContextProfile ? GetColorContextDescription(context.Get()) : Bstr();
    } catch (...) {
        return {};
    }
}

Bstr GetColorContextDescription(IWICColorContext* context)
{
    UINT size = 0;
    if (!context || FAILED(context->GetProfileBytes(0, nullptr, &size)) || size < 128) return {};
    std::vector<BYTE> bytes(size);
    if (FAILED(context->GetProfileBytes(size, bytes.data(), &size))) return {};
    return ReadIccProfileDescription(bytes.data(), bytes.size());
}

Bstr GetTargetProfilePath()
{
    if (!HasTargetSetting()) return {};
    if (StrCmpIW(AppSettings::CustomTargetColorProfile.c_str(), AppSettings::AutomaticProfile) != 0)
        return AppSettings::CustomTargetColorProfile;
    HDC dc = GetWindowDC(MainFrameHandle);
    if (!dc) return {};
    wchar_t path[MAX_PATH];
    DWORD length = MAX_PATH;
    BOOL found = GetICMProfileW(dc, &length, path);
    ReleaseDC(MainFrameHandle, dc);
    return found ? Bstr(path) : Bstr();
}
