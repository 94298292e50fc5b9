#include "tests/imaging/RecordingWicFactory.h"
#include "Viewer/imaging/ColourManagement.h"
#include "Viewer/imaging/WicFactory.h"

namespace {
IWICColorContext* RealContext(IWICColorContext* context)
{
    return context ? static_cast<RecordingColorContext*>(context)->Real() : nullptr;
}

std::wstring Origin(IWICColorContext* context)
{
    return context ? static_cast<RecordingColorContext*>(context)->origin : L"(none)";
}

// The platform's transformer, with its Initialize calls written down and, when the test chose one,
// answered by the test.
class RecordingColorTransform : public ForwardingBitmapSource<IWICColorTransform> {
public:
    RecordingColorTransform(IWICColorTransform* platform, RecordingWicFactory& factory)
        : ForwardingBitmapSource(platform), m_factory(factory)
    {
    }
    HRESULT STDMETHODCALLTYPE Initialize(IWICBitmapSource* source, IWICColorContext* from, IWICColorContext* to,
                                         REFWICPixelFormatGUID format) override
    {
        m_factory.transforms.push_back({Origin(from), Origin(to), format, source});
        if (!m_factory.transformResults.empty()) {
            const HRESULT hr = m_factory.transformResults.front();
            m_factory.transformResults.pop_front();
            if (FAILED(hr)) return hr;
        }
        return m_inner->Initialize(source, RealContext(from), RealContext(to), format);
    }
    HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT stride, UINT size, BYTE* buffer) override
    {
        ++m_factory.transformerCopies;
        return m_inner->CopyPixels(rect, stride, size, buffer);
    }

private:
    RecordingWicFactory& m_factory;
};

// The platform's format converter, with its Initialize calls written down.
class RecordingFormatConverter : public ForwardingBitmapSource<IWICFormatConverter> {
public:
    RecordingFormatConverter(IWICFormatConverter* platform, std::vector<ConverterInit>& log)
        : ForwardingBitmapSource(platform), m_log(log)
    {
    }
    HRESULT STDMETHODCALLTYPE Initialize(IWICBitmapSource* source, REFWICPixelFormatGUID format,
                                         WICBitmapDitherType dither, IWICPalette* palette, double alpha,
                                         WICBitmapPaletteType type) override
    {
        m_log.push_back({source, format});
        return m_inner->Initialize(source, format, dither, palette, alpha, type);
    }
    HRESULT STDMETHODCALLTYPE CanConvert(REFWICPixelFormatGUID from, REFWICPixelFormatGUID to, BOOL* can) override
    {
        return m_inner->CanConvert(from, to, can);
    }

private:
    std::vector<ConverterInit>& m_log;
};
}

ComPtr<RecordingWicFactory> RecordingWicFactory::InstallAroundProcessFactory()
{
    auto recorder = ComPtr<RecordingWicFactory>::Attach(new RecordingWicFactory(g_WicFactory.Get()));
    g_WicFactory = ComPtr<IWICImagingFactory>(recorder.Get());
    return recorder;
}

HRESULT RecordingColorContext::InitializeFromFilename(LPCWSTR name)
{
    origin = std::wstring(L"file:") + name;
    return m_real->InitializeFromFilename(name);
}

HRESULT RecordingColorContext::InitializeFromMemory(const BYTE* bytes, UINT size)
{
    HRESULT hr = m_real->InitializeFromMemory(bytes, size);
    Bstr description = GetColorContextDescription(m_real.Get());
    origin = L"memory:" + std::wstring(description.Get() ? description.View() : std::to_wstring(size));
    return hr;
}

HRESULT RecordingColorContext::InitializeFromExifColorSpace(UINT value)
{
    origin = L"exif:" + std::to_wstring(value);
    return m_real->InitializeFromExifColorSpace(value);
}

HRESULT RecordingWicFactory::CreateColorContext(IWICColorContext** context)
{
    ComPtr<IWICColorContext> real;
    if (HRESULT hr = m_real->CreateColorContext(&real); FAILED(hr)) return hr;
    *context = new RecordingColorContext(real.Get());
    return S_OK;
}

HRESULT RecordingWicFactory::CreateColorTransformer(IWICColorTransform** transformer)
{
    ComPtr<IWICColorTransform> real;
    if (HRESULT hr = m_real->CreateColorTransformer(&real); FAILED(hr)) return hr;
    *transformer = new RecordingColorTransform(real.Get(), *this);
    transformers.push_back(*transformer);
    return S_OK;
}

HRESULT RecordingWicFactory::CreateFormatConverter(IWICFormatConverter** converter)
{
    ComPtr<IWICFormatConverter> real;
    if (HRESULT hr = m_real->CreateFormatConverter(&real); FAILED(hr)) return hr;
    *converter = new RecordingFormatConverter(real.Get(), converterInits);
    return S_OK;
}

std::optional<HRESULT> RecordingWicFactory::ChosenDecoderAnswer(IWICBitmapDecoder** out)
{
    ++decoderRequests;
    if (onDecoderRequest) onDecoderRequest(decoderRequests);
    if (!decoderResults.empty()) {
        const HRESULT hr = decoderResults.front();
        decoderResults.pop_front();
        return hr;
    }
    if (!decoder) return std::nullopt;
    *out = ComPtr<IWICBitmapDecoder>(decoder).Detach();
    return S_OK;
}

HRESULT RecordingWicFactory::CreateDecoderFromFilename(LPCWSTR name, const GUID* vendor, DWORD access,
                                                       WICDecodeOptions options, IWICBitmapDecoder** out)
{
    if (const std::optional<HRESULT> chosen = ChosenDecoderAnswer(out)) return *chosen;
    return m_real->CreateDecoderFromFilename(name, vendor, access, options, out);
}

HRESULT RecordingWicFactory::CreateDecoderFromStream(IStream* stream, const GUID* vendor, WICDecodeOptions options,
                                                     IWICBitmapDecoder** out)
{
    if (const std::optional<HRESULT> chosen = ChosenDecoderAnswer(out)) return *chosen;
    return m_real->CreateDecoderFromStream(stream, vendor, options, out);
}

HRESULT RecordingWicFactory::CreateDecoder(REFGUID container, const GUID* vendor, IWICBitmapDecoder** out)
{
    if (const std::optional<HRESULT> chosen = ChosenDecoderAnswer(out)) return *chosen;
    return m_real->CreateDecoder(container, vendor, out);
}
