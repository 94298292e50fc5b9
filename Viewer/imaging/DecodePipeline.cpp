#include "Viewer/imaging/DecodePipeline.h"
#include "Framework/Bstr.h"
#include "Framework/ComPtr.h"
#include "Framework/HResultError.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/DecodeThreadContext.h"
#include "Viewer/imaging/ClaimedSizes.h"
#include "Viewer/imaging/ColourManagement.h"
#include "Viewer/imaging/DecodedPixelFormats.h"
#include "Viewer/imaging/Downscale.h"
#include "Viewer/imaging/ExifOrientation.h"
#include "Viewer/imaging/GuardedCopyPixels.h"
#include "Viewer/imaging/ImageFormats.h"
#include "Viewer/imaging/MetadataReader.h"
#include "Viewer/imaging/PageCommit.h"
#include "Viewer/imaging/PixelFormatBits.h"
#include "Viewer/imaging/WicFactory.h"
#include <shlwapi.h>
#include <memory>

namespace {
constexpr HRESULT SharingViolation = HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION);
constexpr HRESULT FileNotFound = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
constexpr UINT SmallestDecodableFile = 16;
constexpr UINT SmallestUsefulPreview = 768;

bool Cancelled(const volatile ULONG* cancelFlag)
{
    return cancelFlag && *cancelFlag;
}

// What both loaders ask of one decode, in the order the caller gives it.
struct DecodeRequest {
    DecodeThreadContext* context;
    const wchar_t* path;
    uint16_t frameIndex;
    UINT* widthOut;
    UINT* heightOut;
    bool colourManage;
    bool preferPreview;
    bool autoRotate;
    ImageInfo* info;
    const volatile ULONG* cancelFlag;
    DWORD downscaleSetting;
};

// The decoder and what its container says about the file.
struct OpenedDecoder {
    ComPtr<IStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    GUID container = {};
    bool raw = false;
    bool managedFamily = false;
};

ComPtr<IStream> OpenFileStream(const wchar_t* path)
{
    ComPtr<IStream> stream;
    ThrowIfFailed(SHCreateStreamOnFileW(path, STGM_READ | STGM_SHARE_DENY_WRITE, &stream));
    return stream;
}

// Known extensions name their codec directly, which spares probing every codec. The codec is asked
// for before the file is opened; the opened file is the decoder's stream even when its codec does not
// take it.
ComPtr<IWICBitmapDecoder> DecoderByExtension(const wchar_t* path, GUID* container, ComPtr<IStream>& stream)
{
    GUID vendor = {};
    if (!GetImageFormatFromExtension(path, container, &vendor)) return nullptr;
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(g_WicFactory->CreateDecoder(*container, &vendor, &decoder))) {
        if (*container != ContainerFormatCr2 ||
            FAILED(g_WicFactory->CreateDecoder(ContainerFormatRawSecondary, &vendor, &decoder)))
            return nullptr;
    }
    stream = OpenFileStream(path);
    STATSTG status = {};
    // A file too short to hold any picture fails as a decoder that was never initialised, which not
    // every platform reports by itself (some give zero frames instead, which reads as "no such page").
    if (FAILED(stream->Stat(&status, STATFLAG_NONAME)) || status.cbSize.QuadPart <= SmallestDecodableFile)
        throw HResultError(WINCODEC_ERR_NOTINITIALIZED);
    if (FAILED(decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand))) decoder = nullptr;
    return decoder;
}

OpenedDecoder OpenDecoder(const wchar_t* path)
{
    OpenedDecoder opened;
    opened.decoder = DecoderByExtension(path, &opened.container, opened.stream);
    if (!opened.decoder) {
        if (opened.stream)
            ThrowIfFailed(opened.stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr));
        else
            opened.stream = OpenFileStream(path);
        ThrowIfFailed(g_WicFactory->CreateDecoderFromStream(opened.stream.Get(), nullptr,
                                                            WICDecodeMetadataCacheOnDemand, &opened.decoder));
        ThrowIfFailed(opened.decoder->GetContainerFormat(&opened.container));
    }
    // Before the frame is opened: some codecs size their buffers from the headers while opening it.
    // The headers are read through the decoder's own stream, not from the file a second time.
    ThrowIfFailed(CheckClaimedSizes(opened.stream.Get(), opened.container));
    opened.raw = opened.container == ContainerFormatNef || IsRawContainerFormat(opened.container);
    opened.managedFamily = opened.raw || opened.container == GUID_ContainerFormatJpeg ||
                           opened.container == GUID_ContainerFormatTiff || opened.container == GUID_ContainerFormatWmp;
    return opened;
}

bool IsKeyedContainer(REFGUID container)
{
    return container == GUID_ContainerFormatPng || container == GUID_ContainerFormatGif ||
           container == GUID_ContainerFormatIco;
}

// An embedded preview replaces the frame only when it is large enough to show on its own.
ComPtr<IWICBitmapSource> UsefulPreview(IWICBitmapDecoder* decoder)
{
    ComPtr<IWICBitmapSource> preview;
    UINT width = 0, height = 0;
    if (FAILED(decoder->GetPreview(&preview)) || !preview || FAILED(preview->GetSize(&width, &height)) ||
        width < SmallestUsefulPreview || height < SmallestUsefulPreview)
        return nullptr;
    return preview;
}

bool Landscape(IWICBitmapSource* source, DecodeThreadContext* context)
{
    UINT width = 0, height = 0;
    context->Lock();
    const HRESULT hr = source->GetSize(&width, &height);
    context->Unlock();
    ThrowIfFailed(hr);
    return width >= height;
}

ComPtr<IWICBitmapSource> Adopt(IWICBitmapSource* reference)
{
    return ComPtr<IWICBitmapSource>::Attach(reference);
}

// The image after every step but the final store, with what the store and the record need.
struct DecodedSource {
    ComPtr<IWICBitmapSource> source;
    ComPtr<IHistogramSource> histogram;
    UINT width = 0;
    UINT height = 0;
    bool raw = false;
    bool keyed = false;
};

// The pixel format the decoded image is converted to, and its depth for the downscale step.
struct DecodeTarget {
    WICPixelFormatGUID wicFormat;
    UINT bitsPerPixel;
};

// Codecs size their buffers in 32 bits, and a picture file can claim any size: a picture whose store
// (rows of whole 32-bit words in the target format) would not fit 32-bit sizes is refused before a
// pixel is decoded.
HRESULT CheckStoreSize(UINT width, UINT height, REFWICPixelFormatGUID format)
{
    UINT bits = 0;
    if (HRESULT hr = GetPixelFormatBitsPerPixel(format, &bits); FAILED(hr)) return hr;
    const uint64_t rowBytes = (uint64_t(width) * bits + 31) / 32 * 4;
    if (width > INT_MAX || height > INT_MAX || rowBytes > INT_MAX || rowBytes * height > UINT32_MAX)
        return WicValueOverflow;
    return S_OK;
}

// The size of a locked store of this many rows, which GuardedCopyPixels checks against the picture.
UINT StoreBytes(INT stride, UINT height)
{
    const uint64_t bytes = uint64_t(stride > 0 ? stride : 0) * height;
    if (bytes > UINT32_MAX) throw HResultError(WicValueOverflow);
    return UINT(bytes);
}

// Everything from the decoder to the oriented source that the store copies once; S_FALSE (and no
// source) when the file has no such frame.
HRESULT BuildSource(const DecodeRequest& request, const DecodeTarget& target, DecodedSource& decoded, bool& rawCodec)
{
    const OpenedDecoder opened = OpenDecoder(request.path);
    rawCodec = decoded.raw = opened.raw;
    decoded.keyed = IsKeyedContainer(opened.container);

    UINT frameCount = 0;
    ThrowIfFailed(opened.decoder->GetFrameCount(&frameCount));
    if (frameCount == 0 || frameCount <= request.frameIndex) return S_FALSE;

    ComPtr<IWICBitmapSource> preview = request.preferPreview ? UsefulPreview(opened.decoder.Get()) : nullptr;
    ComPtr<IWICBitmapFrameDecode> frame;
    ThrowIfFailed(opened.decoder->GetFrame(request.frameIndex, &frame));

    // Colour: the families that carry profiles always, the others only towards a profile the user chose.
    ComPtr<IWICBitmapSource> source;
    Bstr profileName;
    const bool customTarget = !AppSettings::CustomTargetColorProfile.Empty();
    if (request.colourManage && (opened.managedFamily || customTarget)) {
        const bool warn = opened.managedFamily && AppSettings::WarnOnInvalidProfile != 0;
        Bstr* name = std::addressof(profileName);
        source = preview ? CreatePreviewColorTransform(preview.Get(), frame.Get(), warn, target.wicFormat, name)
                         : CreateColorTransform(frame.Get(), frame.Get(), warn, target.wicFormat, name, false);
    } else {
        if (request.info) profileName = GetFrameColorProfileName(frame.Get());
        source = preview ? preview : ComPtr<IWICBitmapSource>(frame.Get());
    }

    // A preview is already upright in portrait; only a landscape preview of a landscape frame is turned.
    bool orient = request.autoRotate;
    if (preview)
        orient = orient && Landscape(preview.Get(), request.context) && Landscape(frame.Get(), request.context);

    if (!source) throw HResultError(E_FAIL);
    WICPixelFormatGUID framePixelFormat = {};
    ThrowIfFailed(frame->GetPixelFormat(&framePixelFormat));

    if (request.info)
        ReadImageMetadata(request.context, request.path, request.info, source.Get(), opened.decoder.Get(),
                          request.frameIndex, profileName.Get());

    // The record may come from an earlier decode of the same picture: both flags are written each time.
    uint8_t downscaled = 0;
    if (request.downscaleSetting) {
        IWICBitmapSource* scaled = nullptr;
        DownscaleIfLarge(request.context, &scaled, source.Get(), request.downscaleSetting, target.bitsPerPixel,
                         &downscaled);
        source = Adopt(scaled);
    }
    if (request.info) request.info->downscaled = downscaled;

    WICPixelFormatGUID sourceFormat = {};
    ThrowIfFailed(source->GetPixelFormat(&sourceFormat));
    // The histogram copy touches every pixel anyway: it widens 24-bit colour to the 32-bit targets
    // itself, which spares the platform converter's pass; every other format goes through the converter.
    const bool expand = CHistogramSource::CanExpand(sourceFormat, target.wicFormat);
    if (sourceFormat != target.wicFormat && !expand) {
        ComPtr<IWICFormatConverter> converter;
        ThrowIfFailed(g_WicFactory->CreateFormatConverter(&converter));
        ThrowIfFailed(converter->Initialize(source.Get(), target.wicFormat, WICBitmapDitherTypeNone, nullptr, 0.0,
                                            WICBitmapPaletteTypeCustom));
        source = ComPtr<IWICBitmapSource>(converter.Get());
    }

    decoded.histogram = expand ? CHistogramSource::CreateExpanding(target.wicFormat) : CHistogramSource::Create();
    ThrowIfFailed(decoded.histogram->Initialize(source.Get(), 1));
    if (request.cancelFlag) {
        if (*request.cancelFlag) return E_ABORT;
        ThrowIfFailed(decoded.histogram->RegisterProgressNotification(
            CheckDecodeAbort, const_cast<ULONG*>(request.cancelFlag),
            DWORD(WICProgressNotificationAll) | DWORD(WICProgressOperationCopyPixels)));
    }
    ThrowIfFailed(decoded.histogram.As(source));

    uint8_t rotated = 0;
    if (orient) {
        IWICBitmapSource* oriented = nullptr;
        ApplyExifOrientation(request.context, &oriented, source.Get(), frame.Get(), &rotated);
        source = Adopt(oriented);
    }
    if (request.info) request.info->rotated = rotated;

    ThrowIfFailed(source->GetSize(&decoded.width, &decoded.height));
    ThrowIfFailed(CheckStoreSize(decoded.width, decoded.height, target.wicFormat));
    if (request.info) {
        request.info->width = decoded.width;
        request.info->height = decoded.height;
        request.info->pixelFormat = framePixelFormat;
        UINT bits = 0;
        GetPixelFormatBitsPerPixel(framePixelFormat, &bits);
        request.info->bitsPerPixel = bits;
    }
    if (Cancelled(request.cancelFlag)) throw HResultError(E_ABORT);
    decoded.source = std::move(source);
    return S_OK;
}

void StoreHistogram(const DecodedSource& decoded, ImageInfo* info)
{
    if (info && decoded.histogram->GetHistogram(&info->histogram, sizeof(info->histogram)) == S_OK)
        info->flags |= ImageInfoHistogram;
}

// The hardware road's store: an off-screen surface of the display format, filled by the one copy.
class SurfaceStore {
public:
    SurfaceStore(DecodeThreadContext* context, IDirect3DSurface9** result) : m_context(context), m_result(result) {}

    void CheckReady() const
    {
        if (!m_context || !m_context->Device()) throw HResultError(E_UNEXPECTED);
        if (!m_result) throw HResultError(E_INVALIDARG);
        *m_result = nullptr;
    }
    DecodeTarget ChooseFormat() const
    {
        const SurfaceTargetFormat format =
            ChooseSurfaceTargetFormat(m_context->Device() != nullptr, m_context->SurfaceFormat());
        return {format.wicFormat, format.bitsPerPixel};
    }
    void Discard() {}

    void Store(const DecodeRequest& request, const DecodedSource& decoded)
    {
        ComPtr<IDirect3DSurface9> surface;
        ThrowIfFailed(m_context->Device()->CreateOffscreenPlainSurface(
            decoded.width, decoded.height, m_context->SurfaceFormat(), D3DPOOL_DEFAULT, &surface, nullptr));
        D3DLOCKED_RECT locked = {};
        ThrowIfFailed(surface->LockRect(&locked, nullptr, 0));
        const WICRect rect = {0, 0, INT(decoded.width), INT(decoded.height)};
        const HRESULT copied = GuardedCopyPixels(request.context, decoded.raw, request.path, decoded.source.Get(),
                                                 &rect, UINT(locked.Pitch), StoreBytes(locked.Pitch, decoded.height),
                                                 static_cast<BYTE*>(locked.pBits));
        ThrowIfFailed(surface->UnlockRect());
        ThrowIfFailed(copied);
        StoreHistogram(decoded, request.info);
        *m_result = surface.Detach();
    }

private:
    DecodeThreadContext* m_context;
    IDirect3DSurface9** m_result;
};

// The software road's store: a GDI+ bitmap in the screen's format; pictures that may be transparent
// are laid on the view's background colour, which GDI+ painting does not do by itself.
class BitmapStore {
public:
    BitmapStore(DecodeThreadContext* context, Gdiplus::Bitmap** result) : m_context(context), m_result(result) {}

    void CheckReady() const
    {
        if (!m_result) throw HResultError(E_INVALIDARG);
        *m_result = nullptr;
    }
    DecodeTarget ChooseFormat()
    {
        m_format = ChooseScreenTargetFormat();
        return {m_format.wicFormat, m_format.bitsPerPixel};
    }
    void Discard() { m_bitmap.reset(); }

    void Store(const DecodeRequest& request, const DecodedSource& decoded)
    {
        const Gdiplus::PixelFormat format = Gdiplus::PixelFormat(m_format.gdiplusFormat);
        m_bitmap = std::make_unique<Gdiplus::Bitmap>(INT(decoded.width), INT(decoded.height), format);
        if (m_bitmap->GetLastStatus() != Gdiplus::Ok) throw HResultError(E_OUTOFMEMORY);
        Gdiplus::BitmapData data = {};
        const Gdiplus::Rect whole(0, 0, INT(decoded.width), INT(decoded.height));
        if (m_bitmap->LockBits(&whole, Gdiplus::ImageLockModeWrite, format, &data) != Gdiplus::Ok)
            throw HResultError(E_FAIL);
        CommitPagesAtOnce(data.Scan0, size_t(data.Stride) * decoded.height);
        const WICRect rect = {0, 0, INT(decoded.width), INT(decoded.height)};
        const HRESULT copied = GuardedCopyPixels(request.context, decoded.raw, request.path, decoded.source.Get(),
                                                 &rect, UINT(data.Stride), StoreBytes(data.Stride, decoded.height),
                                                 static_cast<BYTE*>(data.Scan0));
        if (m_bitmap->UnlockBits(&data) != Gdiplus::Ok) throw HResultError(E_FAIL);
        ThrowIfFailed(copied);
        StoreHistogram(decoded, request.info);
        if (decoded.keyed) LayOnBackground(decoded);
        *m_result = m_bitmap.release();
    }

private:
    void LayOnBackground(const DecodedSource& decoded)
    {
        auto flattened = std::make_unique<Gdiplus::Bitmap>(INT(decoded.width), INT(decoded.height),
                                                           m_bitmap->GetPixelFormat());
        if (flattened->GetLastStatus() != Gdiplus::Ok) throw HResultError(E_OUTOFMEMORY);
        {
            Gdiplus::Graphics graphics(flattened.get());
            graphics.Clear(Gdiplus::Color(m_context->BackgroundArgb()));
            graphics.DrawImage(m_bitmap.get(), 0, 0, INT(decoded.width), INT(decoded.height));
        }
        m_bitmap = std::move(flattened);
    }

    DecodeThreadContext* m_context;
    Gdiplus::Bitmap** m_result;
    BitmapTargetFormat m_format = {};
    std::unique_ptr<Gdiplus::Bitmap> m_bitmap;
};

template <class Store>
HRESULT DecodeOnce(const DecodeRequest& request, Store& store, bool& rawCodec)
{
    if (!g_WicFactory) throw HResultError(E_UNEXPECTED);
    if (!request.context) throw HResultError(E_INVALIDARG);
    store.CheckReady();
    const DecodeTarget target = store.ChooseFormat();

    DecodedSource decoded;
    const HRESULT built = BuildSource(request, target, decoded, rawCodec);
    if (built != S_OK) return built;
    store.Store(request, decoded);
    if (request.widthOut) *request.widthOut = decoded.width;
    if (request.heightOut) *request.heightOut = decoded.height;
    return S_OK;
}

template <class Store>
HRESULT Load(const DecodeRequest& request, Store& store)
{
    if (request.widthOut) *request.widthOut = 0;
    if (request.heightOut) *request.heightOut = 0;
    if (Cancelled(request.cancelFlag)) return E_ABORT;
    if (!g_WicFactory) ThrowIfFailed(CreateWicFactoryIfMissing());

    int notFoundTries = 2;
    int sharingTries = 200;
    for (;;) {
        // Every call into the codec and its metadata handlers, not only the pixel copy, runs the
        // picture's own code paths: a damaged file can make any of them fault.
        bool rawCodec = false;
        const HRESULT hr = RunCodecGuarded(request.context, rawCodec, request.path,
                                           [&] { return DecodeOnce(request, store, rawCodec); });
        if (hr == S_OK) return hr;
        store.Discard();
        int* tries = hr == SharingViolation ? &sharingTries : hr == FileNotFound ? &notFoundTries : nullptr;
        if (!tries || --*tries <= 0) return hr;
        // A cancelled decode stops waiting for the file instead of holding its worker.
        if (Cancelled(request.cancelFlag)) return E_ABORT;
        Sleep(DecodeRetryPause);
    }
}
}

HRESULT LoadToSurface(DecodeThreadContext* context, const wchar_t* path, uint16_t frameIndex,
                      IDirect3DSurface9** surfaceOut, UINT* widthOut, UINT* heightOut, bool colourManage,
                      bool preferPreview, bool autoRotate, ImageInfo* info, const volatile ULONG* cancelFlag,
                      DWORD downscaleSetting)
{
    const DecodeRequest request = {context,       path,          frameIndex, widthOut,   heightOut,       colourManage,
                                   preferPreview, autoRotate,    info,       cancelFlag, downscaleSetting};
    SurfaceStore store(context, surfaceOut);
    return Load(request, store);
}

HRESULT LoadToBitmap(DecodeThreadContext* context, const wchar_t* path, uint16_t frameIndex,
                     Gdiplus::Bitmap** bitmapOut, UINT* widthOut, UINT* heightOut, bool colourManage,
                     bool preferPreview, bool autoRotate, ImageInfo* info, const volatile ULONG* cancelFlag,
                     DWORD downscaleSetting)
{
    const DecodeRequest request = {context,       path,          frameIndex, widthOut,   heightOut,       colourManage,
                                   preferPreview, autoRotate,    info,       cancelFlag, downscaleSetting};
    BitmapStore store(context, bitmapOut);
    return Load(request, store);
}

HRESULT WINAPI CheckDecodeAbort(LPVOID cancelFlag, ULONG, WICProgressOperation, double)
{
    return Cancelled(static_cast<const volatile ULONG*>(cancelFlag)) ? E_ABORT : S_OK;
}
