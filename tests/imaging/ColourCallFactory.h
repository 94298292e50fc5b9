#pragma once
// A factory around the real one that records how colour contexts are initialised and what each
// colour transformer is asked to do, and can answer a transformer's Initialize itself. The
// platform's transformer here initialises but leaves the pixels unchanged, so the colour code is
// checked on these calls.
#include "tests/imaging/FakeWic.h"
#include <deque>
#include <string>
#include <vector>

class ColourCallContext : public FakeComObject<IWICColorContext> {
public:
    explicit ColourCallContext(IWICColorContext* real) : m_real(real) {}
    IWICColorContext* Real() const { return m_real.Get(); }
    // "memory:<description or size>", "exif:<space>" or "file:<path>"; empty while uninitialised.
    std::wstring origin;

    HRESULT STDMETHODCALLTYPE InitializeFromFilename(LPCWSTR name) override;
    HRESULT STDMETHODCALLTYPE InitializeFromMemory(const BYTE* bytes, UINT size) override;
    HRESULT STDMETHODCALLTYPE InitializeFromExifColorSpace(UINT value) override;
    HRESULT STDMETHODCALLTYPE GetType(WICColorContextType* type) override { return m_real->GetType(type); }
    HRESULT STDMETHODCALLTYPE GetProfileBytes(UINT size, BYTE* bytes, UINT* actual) override
    {
        return m_real->GetProfileBytes(size, bytes, actual);
    }
    HRESULT STDMETHODCALLTYPE GetExifColorSpace(UINT* value) override { return m_real->GetExifColorSpace(value); }

private:
    ComPtr<IWICColorContext> m_real;
};

struct ColourTransformCall {
    std::wstring sourceOrigin;
    std::wstring targetOrigin;
    WICPixelFormatGUID format;
    IWICBitmapSource* source;  // the pixels the transformer was asked to convert
};

class ColourCallFactory;

class ColourCallTransformer : public FakeComObject<IWICColorTransform> {
public:
    ColourCallTransformer(ColourCallFactory& factory, IWICColorTransform* real) : m_factory(factory), m_real(real) {}

    HRESULT STDMETHODCALLTYPE Initialize(IWICBitmapSource* source, IWICColorContext* from, IWICColorContext* to,
                                         REFWICPixelFormatGUID format) override;
    HRESULT STDMETHODCALLTYPE GetSize(UINT* w, UINT* h) override { return m_real->GetSize(w, h); }
    HRESULT STDMETHODCALLTYPE GetPixelFormat(WICPixelFormatGUID* f) override { return m_real->GetPixelFormat(f); }
    HRESULT STDMETHODCALLTYPE GetResolution(double* x, double* y) override { return m_real->GetResolution(x, y); }
    HRESULT STDMETHODCALLTYPE CopyPalette(IWICPalette* p) override { return m_real->CopyPalette(p); }
    HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* r, UINT stride, UINT size, BYTE* buffer) override
    {
        return m_real->CopyPixels(r, stride, size, buffer);
    }

protected:
    bool Answers(REFIID iid) const override { return iid == IID_IWICBitmapSource; }

private:
    ColourCallFactory& m_factory;
    ComPtr<IWICColorTransform> m_real;
};

class ColourCallFactory : public FakeComObject<IWICImagingFactory> {
public:
    explicit ColourCallFactory(IWICImagingFactory* real) : m_real(real) {}

    std::vector<ColourTransformCall> transforms;
    // Answers for the next transformer Initialize calls; the real transformer answers when empty.
    std::deque<HRESULT> transformResults;

    HRESULT STDMETHODCALLTYPE CreateColorContext(IWICColorContext** context) override;
    HRESULT STDMETHODCALLTYPE CreateColorTransformer(IWICColorTransform** transformer) override;

    HRESULT STDMETHODCALLTYPE CreateDecoderFromFilename(LPCWSTR a, const GUID* b, DWORD c, WICDecodeOptions d,
                                                        IWICBitmapDecoder** e) override
    {
        return m_real->CreateDecoderFromFilename(a, b, c, d, e);
    }
    HRESULT STDMETHODCALLTYPE CreateDecoderFromStream(IStream* a, const GUID* b, WICDecodeOptions c,
                                                      IWICBitmapDecoder** d) override
    {
        return m_real->CreateDecoderFromStream(a, b, c, d);
    }
    HRESULT STDMETHODCALLTYPE CreateDecoderFromFileHandle(ULONG_PTR a, const GUID* b, WICDecodeOptions c,
                                                          IWICBitmapDecoder** d) override
    {
        return m_real->CreateDecoderFromFileHandle(a, b, c, d);
    }
    HRESULT STDMETHODCALLTYPE CreateComponentInfo(REFCLSID a, IWICComponentInfo** b) override
    {
        return m_real->CreateComponentInfo(a, b);
    }
    HRESULT STDMETHODCALLTYPE CreateDecoder(REFGUID a, const GUID* b, IWICBitmapDecoder** c) override
    {
        return m_real->CreateDecoder(a, b, c);
    }
    HRESULT STDMETHODCALLTYPE CreateEncoder(REFGUID a, const GUID* b, IWICBitmapEncoder** c) override
    {
        return m_real->CreateEncoder(a, b, c);
    }
    HRESULT STDMETHODCALLTYPE CreatePalette(IWICPalette** a) override { return m_real->CreatePalette(a); }
    HRESULT STDMETHODCALLTYPE CreateFormatConverter(IWICFormatConverter** a) override
    {
        return m_real->CreateFormatConverter(a);
    }
    HRESULT STDMETHODCALLTYPE CreateBitmapScaler(IWICBitmapScaler** a) override { return m_real->CreateBitmapScaler(a); }
    HRESULT STDMETHODCALLTYPE CreateBitmapClipper(IWICBitmapClipper** a) override
    {
        return m_real->CreateBitmapClipper(a);
    }
    HRESULT STDMETHODCALLTYPE CreateBitmapFlipRotator(IWICBitmapFlipRotator** a) override
    {
        return m_real->CreateBitmapFlipRotator(a);
    }
    HRESULT STDMETHODCALLTYPE CreateStream(IWICStream** a) override { return m_real->CreateStream(a); }
    HRESULT STDMETHODCALLTYPE CreateBitmap(UINT a, UINT b, REFWICPixelFormatGUID c, WICBitmapCreateCacheOption d,
                                           IWICBitmap** e) override
    {
        return m_real->CreateBitmap(a, b, c, d, e);
    }
    HRESULT STDMETHODCALLTYPE CreateBitmapFromSource(IWICBitmapSource* a, WICBitmapCreateCacheOption b,
                                                     IWICBitmap** c) override
    {
        return m_real->CreateBitmapFromSource(a, b, c);
    }
    HRESULT STDMETHODCALLTYPE CreateBitmapFromSourceRect(IWICBitmapSource* a, UINT b, UINT c, UINT d, UINT e,
                                                         IWICBitmap** f) override
    {
        return m_real->CreateBitmapFromSourceRect(a, b, c, d, e, f);
    }
    HRESULT STDMETHODCALLTYPE CreateBitmapFromMemory(UINT a, UINT b, REFWICPixelFormatGUID c, UINT d, UINT e, BYTE* f,
                                                     IWICBitmap** g) override
    {
        return m_real->CreateBitmapFromMemory(a, b, c, d, e, f, g);
    }
    HRESULT STDMETHODCALLTYPE CreateBitmapFromHBITMAP(HBITMAP a, HPALETTE b, WICBitmapAlphaChannelOption c,
                                                      IWICBitmap** d) override
    {
        return m_real->CreateBitmapFromHBITMAP(a, b, c, d);
    }
    HRESULT STDMETHODCALLTYPE CreateBitmapFromHICON(HICON a, IWICBitmap** b) override
    {
        return m_real->CreateBitmapFromHICON(a, b);
    }
    HRESULT STDMETHODCALLTYPE CreateComponentEnumerator(DWORD a, DWORD b, IEnumUnknown** c) override
    {
        return m_real->CreateComponentEnumerator(a, b, c);
    }
    HRESULT STDMETHODCALLTYPE CreateFastMetadataEncoderFromDecoder(IWICBitmapDecoder* a,
                                                                   IWICFastMetadataEncoder** b) override
    {
        return m_real->CreateFastMetadataEncoderFromDecoder(a, b);
    }
    HRESULT STDMETHODCALLTYPE CreateFastMetadataEncoderFromFrameDecode(IWICBitmapFrameDecode* a,
                                                                       IWICFastMetadataEncoder** b) override
    {
        return m_real->CreateFastMetadataEncoderFromFrameDecode(a, b);
    }
    HRESULT STDMETHODCALLTYPE CreateQueryWriter(REFGUID a, const GUID* b, IWICMetadataQueryWriter** c) override
    {
        return m_real->CreateQueryWriter(a, b, c);
    }
    HRESULT STDMETHODCALLTYPE CreateQueryWriterFromReader(IWICMetadataQueryReader* a, const GUID* b,
                                                          IWICMetadataQueryWriter** c) override
    {
        return m_real->CreateQueryWriterFromReader(a, b, c);
    }

private:
    friend class ColourCallTransformer;
    ComPtr<IWICImagingFactory> m_real;
};
