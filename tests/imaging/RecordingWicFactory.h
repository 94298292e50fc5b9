#pragma once
// A factory around the real one that records what the imaging code asks of it: how colour contexts
// are initialised, what each colour transformer and format converter is given, and how often a
// decoder is asked for; it can hand out a chosen decoder for any file and answer a transformer's
// Initialize itself. The platform's transformer here initialises but leaves the pixels unchanged,
// so the colour code and the pipeline's order of steps are checked on these calls.
#include "tests/imaging/FakeWic.h"
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class RecordingColorContext : public FakeComObject<IWICColorContext> {
public:
    explicit RecordingColorContext(IWICColorContext* real) : m_real(real) {}
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

struct ConverterInit {
    IWICBitmapSource* source;
    WICPixelFormatGUID format;
};

class RecordingWicFactory : public FakeComObject<IWICImagingFactory> {
public:
    explicit RecordingWicFactory(IWICImagingFactory* real) : m_real(real) {}
    // Wraps the process-wide factory in a new recording one, which becomes the process-wide one.
    static ComPtr<RecordingWicFactory> InstallAroundProcessFactory();

    ComPtr<IWICBitmapDecoder> decoder;  // when set, every decoder asked for is this one
    int decoderRequests = 0;            // CreateDecoder, CreateDecoderFromFilename and ...FromStream calls
    // Runs at each decoder request with its number (1 for the first), before the decoder is made:
    // a test changes the file's state at a chosen attempt instead of after a chosen time.
    std::function<void(int request)> onDecoderRequest;
    // Answers for the next decoder requests, before the chosen or a real decoder is made.
    std::deque<HRESULT> decoderResults;
    std::vector<ColourTransformCall> transforms;
    // Answers for the next transformer Initialize calls; the real transformer answers when empty.
    std::deque<HRESULT> transformResults;
    std::vector<IWICColorTransform*> transformers;  // in the order made; not owned
    int transformerCopies = 0;                      // CopyPixels calls on any of them
    std::vector<ConverterInit> converterInits;

    HRESULT STDMETHODCALLTYPE CreateColorContext(IWICColorContext** context) override;
    HRESULT STDMETHODCALLTYPE CreateColorTransformer(IWICColorTransform** transformer) override;
    HRESULT STDMETHODCALLTYPE CreateFormatConverter(IWICFormatConverter** converter) override;
    HRESULT STDMETHODCALLTYPE CreateDecoderFromFilename(LPCWSTR name, const GUID* vendor, DWORD access,
                                                        WICDecodeOptions options, IWICBitmapDecoder** out) override;
    HRESULT STDMETHODCALLTYPE CreateDecoder(REFGUID container, const GUID* vendor, IWICBitmapDecoder** out) override;

    HRESULT STDMETHODCALLTYPE CreateDecoderFromStream(IStream* stream, const GUID* vendor, WICDecodeOptions options,
                                                      IWICBitmapDecoder** out) override;
    HRESULT STDMETHODCALLTYPE CreateDecoderFromFileHandle(ULONG_PTR a, const GUID* b, WICDecodeOptions c,
                                                          IWICBitmapDecoder** d) override
    {
        return m_real->CreateDecoderFromFileHandle(a, b, c, d);
    }
    HRESULT STDMETHODCALLTYPE CreateComponentInfo(REFCLSID a, IWICComponentInfo** b) override
    {
        return m_real->CreateComponentInfo(a, b);
    }
    HRESULT STDMETHODCALLTYPE CreateEncoder(REFGUID a, const GUID* b, IWICBitmapEncoder** c) override
    {
        return m_real->CreateEncoder(a, b, c);
    }
    HRESULT STDMETHODCALLTYPE CreatePalette(IWICPalette** a) override { return m_real->CreatePalette(a); }
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
    // True when the chosen decoder was handed out; counts the request either way.
    std::optional<HRESULT> ChosenDecoderAnswer(IWICBitmapDecoder** out);

    ComPtr<IWICImagingFactory> m_real;
};
