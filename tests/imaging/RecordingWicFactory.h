#pragma once
// An imaging factory that answers every call through the platform's own factory, except that it
// can hand out a chosen decoder for any file, and that it records the colour transformers and
// format converters it makes and how they were initialised: the order and the arguments of the
// decode pipeline's steps become visible where the platform's transformer changes no pixel.
#include "tests/imaging/FakeWic.h"
#include <wincodec.h>
#include <vector>

struct ColorTransformInit {
    IWICBitmapSource* source;
    IWICColorContext* sourceContext;
    IWICColorContext* targetContext;
    WICPixelFormatGUID format;
};

struct ConverterInit {
    IWICBitmapSource* source;
    WICPixelFormatGUID format;
};

class RecordingWicFactory : public FakeComObject<IWICImagingFactory> {
public:
    explicit RecordingWicFactory(IWICImagingFactory* platform) : m_platform(platform) {}

    ComPtr<IWICBitmapDecoder> decoder;  // when set, every decoder asked for is this one
    int decoderRequests = 0;            // CreateDecoder and CreateDecoderFromFilename calls
    std::vector<IWICColorTransform*> transformers;  // in the order made; not owned
    std::vector<ColorTransformInit> transformInits;
    std::vector<IWICFormatConverter*> converters;
    std::vector<ConverterInit> converterInits;

    HRESULT STDMETHODCALLTYPE CreateDecoderFromFilename(LPCWSTR name, const GUID* vendor, DWORD access,
                                                        WICDecodeOptions options, IWICBitmapDecoder** out) override;
    HRESULT STDMETHODCALLTYPE CreateDecoderFromStream(IStream* stream, const GUID* vendor, WICDecodeOptions options,
                                                      IWICBitmapDecoder** out) override
    {
        return m_platform->CreateDecoderFromStream(stream, vendor, options, out);
    }
    HRESULT STDMETHODCALLTYPE CreateDecoderFromFileHandle(ULONG_PTR file, const GUID* vendor, WICDecodeOptions options,
                                                          IWICBitmapDecoder** out) override
    {
        return m_platform->CreateDecoderFromFileHandle(file, vendor, options, out);
    }
    HRESULT STDMETHODCALLTYPE CreateComponentInfo(REFCLSID clsid, IWICComponentInfo** out) override
    {
        return m_platform->CreateComponentInfo(clsid, out);
    }
    HRESULT STDMETHODCALLTYPE CreateDecoder(REFGUID container, const GUID* vendor, IWICBitmapDecoder** out) override;
    HRESULT STDMETHODCALLTYPE CreateEncoder(REFGUID container, const GUID* vendor, IWICBitmapEncoder** out) override
    {
        return m_platform->CreateEncoder(container, vendor, out);
    }
    HRESULT STDMETHODCALLTYPE CreatePalette(IWICPalette** out) override { return m_platform->CreatePalette(out); }
    HRESULT STDMETHODCALLTYPE CreateFormatConverter(IWICFormatConverter** out) override;
    HRESULT STDMETHODCALLTYPE CreateBitmapScaler(IWICBitmapScaler** out) override
    {
        return m_platform->CreateBitmapScaler(out);
    }
    HRESULT STDMETHODCALLTYPE CreateBitmapClipper(IWICBitmapClipper** out) override
    {
        return m_platform->CreateBitmapClipper(out);
    }
    HRESULT STDMETHODCALLTYPE CreateBitmapFlipRotator(IWICBitmapFlipRotator** out) override
    {
        return m_platform->CreateBitmapFlipRotator(out);
    }
    HRESULT STDMETHODCALLTYPE CreateStream(IWICStream** out) override { return m_platform->CreateStream(out); }
    HRESULT STDMETHODCALLTYPE CreateColorContext(IWICColorContext** out) override
    {
        return m_platform->CreateColorContext(out);
    }
    HRESULT STDMETHODCALLTYPE CreateColorTransformer(IWICColorTransform** out) override;
    HRESULT STDMETHODCALLTYPE CreateBitmap(UINT w, UINT h, REFWICPixelFormatGUID format, WICBitmapCreateCacheOption option,
                                           IWICBitmap** out) override
    {
        return m_platform->CreateBitmap(w, h, format, option, out);
    }
    HRESULT STDMETHODCALLTYPE CreateBitmapFromSource(IWICBitmapSource* source, WICBitmapCreateCacheOption option,
                                                     IWICBitmap** out) override
    {
        return m_platform->CreateBitmapFromSource(source, option, out);
    }
    HRESULT STDMETHODCALLTYPE CreateBitmapFromSourceRect(IWICBitmapSource* source, UINT x, UINT y, UINT w, UINT h,
                                                         IWICBitmap** out) override
    {
        return m_platform->CreateBitmapFromSourceRect(source, x, y, w, h, out);
    }
    HRESULT STDMETHODCALLTYPE CreateBitmapFromMemory(UINT w, UINT h, REFWICPixelFormatGUID format, UINT stride, UINT size,
                                                     BYTE* buffer, IWICBitmap** out) override
    {
        return m_platform->CreateBitmapFromMemory(w, h, format, stride, size, buffer, out);
    }
    HRESULT STDMETHODCALLTYPE CreateBitmapFromHBITMAP(HBITMAP bitmap, HPALETTE palette, WICBitmapAlphaChannelOption option,
                                                      IWICBitmap** out) override
    {
        return m_platform->CreateBitmapFromHBITMAP(bitmap, palette, option, out);
    }
    HRESULT STDMETHODCALLTYPE CreateBitmapFromHICON(HICON icon, IWICBitmap** out) override
    {
        return m_platform->CreateBitmapFromHICON(icon, out);
    }
    HRESULT STDMETHODCALLTYPE CreateComponentEnumerator(DWORD types, DWORD options, IEnumUnknown** out) override
    {
        return m_platform->CreateComponentEnumerator(types, options, out);
    }
    HRESULT STDMETHODCALLTYPE CreateFastMetadataEncoderFromDecoder(IWICBitmapDecoder* decoder,
                                                                   IWICFastMetadataEncoder** out) override
    {
        return m_platform->CreateFastMetadataEncoderFromDecoder(decoder, out);
    }
    HRESULT STDMETHODCALLTYPE CreateFastMetadataEncoderFromFrameDecode(IWICBitmapFrameDecode* frame,
                                                                       IWICFastMetadataEncoder** out) override
    {
        return m_platform->CreateFastMetadataEncoderFromFrameDecode(frame, out);
    }
    HRESULT STDMETHODCALLTYPE CreateQueryWriter(REFGUID format, const GUID* vendor, IWICMetadataQueryWriter** out) override
    {
        return m_platform->CreateQueryWriter(format, vendor, out);
    }
    HRESULT STDMETHODCALLTYPE CreateQueryWriterFromReader(IWICMetadataQueryReader* reader, const GUID* vendor,
                                                          IWICMetadataQueryWriter** out) override
    {
        return m_platform->CreateQueryWriterFromReader(reader, vendor, out);
    }

private:
    ComPtr<IWICImagingFactory> m_platform;
};
