#pragma once
// The colour-call factory, which in addition can hand out a chosen decoder for any file and records
// the colour transformers and format converters it makes: the order and the arguments of the decode
// pipeline's steps become visible where the platform's transformer changes no pixel.
#include "tests/imaging/ColourCallFactory.h"
#include <vector>

struct ConverterInit {
    IWICBitmapSource* source;
    WICPixelFormatGUID format;
};

class RecordingWicFactory : public ColourCallFactory {
public:
    using ColourCallFactory::ColourCallFactory;

    ComPtr<IWICBitmapDecoder> decoder;  // when set, every decoder asked for is this one
    int decoderRequests = 0;            // CreateDecoder and CreateDecoderFromFilename calls
    std::vector<IWICColorTransform*> transformers;  // in the order made; not owned
    std::vector<ConverterInit> converterInits;

    HRESULT STDMETHODCALLTYPE CreateDecoderFromFilename(LPCWSTR name, const GUID* vendor, DWORD access,
                                                        WICDecodeOptions options, IWICBitmapDecoder** out) override;
    HRESULT STDMETHODCALLTYPE CreateDecoder(REFGUID container, const GUID* vendor, IWICBitmapDecoder** out) override;
    HRESULT STDMETHODCALLTYPE CreateFormatConverter(IWICFormatConverter** out) override;
    HRESULT STDMETHODCALLTYPE CreateColorTransformer(IWICColorTransform** out) override;
};
