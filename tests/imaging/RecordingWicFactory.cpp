#include "tests/imaging/RecordingWicFactory.h"

namespace {
// The platform's format converter, with its Initialize calls written down.
class RecordingFormatConverter : public FakeComObject<IWICFormatConverter> {
public:
    RecordingFormatConverter(IWICFormatConverter* platform, std::vector<ConverterInit>& log)
        : m_platform(platform), m_log(log)
    {
    }
    HRESULT STDMETHODCALLTYPE Initialize(IWICBitmapSource* source, REFWICPixelFormatGUID format,
                                         WICBitmapDitherType dither, IWICPalette* palette, double alpha,
                                         WICBitmapPaletteType type) override
    {
        m_log.push_back({source, format});
        return m_platform->Initialize(source, format, dither, palette, alpha, type);
    }
    HRESULT STDMETHODCALLTYPE CanConvert(REFWICPixelFormatGUID from, REFWICPixelFormatGUID to, BOOL* can) override
    {
        return m_platform->CanConvert(from, to, can);
    }
    HRESULT STDMETHODCALLTYPE GetSize(UINT* w, UINT* h) override { return m_platform->GetSize(w, h); }
    HRESULT STDMETHODCALLTYPE GetPixelFormat(WICPixelFormatGUID* f) override { return m_platform->GetPixelFormat(f); }
    HRESULT STDMETHODCALLTYPE GetResolution(double* x, double* y) override { return m_platform->GetResolution(x, y); }
    HRESULT STDMETHODCALLTYPE CopyPalette(IWICPalette* p) override { return m_platform->CopyPalette(p); }
    HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* r, UINT stride, UINT size, BYTE* buffer) override
    {
        return m_platform->CopyPixels(r, stride, size, buffer);
    }

protected:
    bool Answers(REFIID iid) const override { return iid == IID_IWICBitmapSource; }

private:
    ComPtr<IWICFormatConverter> m_platform;
    std::vector<ConverterInit>& m_log;
};
}

HRESULT RecordingWicFactory::CreateDecoderFromFilename(LPCWSTR name, const GUID* vendor, DWORD access,
                                                       WICDecodeOptions options, IWICBitmapDecoder** out)
{
    ++decoderRequests;
    if (!decoder) return ColourCallFactory::CreateDecoderFromFilename(name, vendor, access, options, out);
    *out = ComPtr<IWICBitmapDecoder>(decoder).Detach();
    return S_OK;
}

HRESULT RecordingWicFactory::CreateDecoder(REFGUID container, const GUID* vendor, IWICBitmapDecoder** out)
{
    ++decoderRequests;
    if (!decoder) return ColourCallFactory::CreateDecoder(container, vendor, out);
    *out = ComPtr<IWICBitmapDecoder>(decoder).Detach();
    return S_OK;
}

HRESULT RecordingWicFactory::CreateFormatConverter(IWICFormatConverter** out)
{
    ComPtr<IWICFormatConverter> platform;
    if (HRESULT hr = ColourCallFactory::CreateFormatConverter(&platform); FAILED(hr)) return hr;
    *out = new RecordingFormatConverter(platform.Get(), converterInits);
    return S_OK;
}

HRESULT RecordingWicFactory::CreateColorTransformer(IWICColorTransform** out)
{
    const HRESULT hr = ColourCallFactory::CreateColorTransformer(out);
    if (SUCCEEDED(hr)) transformers.push_back(*out);
    return hr;
}
