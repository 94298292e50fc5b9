#pragma once
// Fakes of the WIC writing side, which the platform here does not carry (its fast metadata encoder
// and SetMetadataByName answer E_NOTIMPL): a query writer that records each name, type and value and
// fails a chosen name, a fast encoder, a frame and container encoder that write a few real bytes
// into the real temporary stream, and a factory that hands them out around the real one.
#include "tests/imaging/RecordingWicFactory.h"
#include <string>
#include <vector>

// "name=TYPE:value", TYPE one of LPWSTR, LPSTR, UI2, UI4.
using WriteLog = std::vector<std::wstring>;

class FakeQueryWriter : public FakeComObject<IWICMetadataQueryWriter> {
public:
    FakeQueryWriter(WriteLog& log, std::wstring failing) : m_log(log), m_failing(std::move(failing)) {}

    HRESULT STDMETHODCALLTYPE GetContainerFormat(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetLocation(UINT, WCHAR*, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMetadataByName(LPCWSTR, PROPVARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetEnumerator(IEnumString**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMetadataByName(LPCWSTR name, const PROPVARIANT* value) override;
    HRESULT STDMETHODCALLTYPE RemoveMetadataByName(LPCWSTR) override { return E_NOTIMPL; }

protected:
    bool Answers(REFIID iid) const override { return iid == __uuidof(IWICMetadataQueryReader); }

private:
    WriteLog& m_log;
    std::wstring m_failing;
};

// The bytes a fake encoder writes as the re-encoded picture.
inline constexpr char ReencodedBytes[] = "re-encoded picture";

struct WritingFakes;

class FakeFastEncoder : public FakeComObject<IWICFastMetadataEncoder> {
public:
    explicit FakeFastEncoder(WritingFakes& fakes) : m_fakes(fakes) {}
    HRESULT STDMETHODCALLTYPE Commit() override;
    HRESULT STDMETHODCALLTYPE GetMetadataQueryWriter(IWICMetadataQueryWriter** writer) override;

private:
    WritingFakes& m_fakes;
};

class FakeFrameEncode : public FakeComObject<IWICBitmapFrameEncode> {
public:
    explicit FakeFrameEncode(WritingFakes& fakes) : m_fakes(fakes) {}
    HRESULT STDMETHODCALLTYPE Initialize(IPropertyBag2*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetSize(UINT, UINT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetResolution(double, double) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetPixelFormat(WICPixelFormatGUID*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetColorContexts(UINT, IWICColorContext**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetPalette(IWICPalette*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetThumbnail(IWICBitmapSource*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE WritePixels(UINT, UINT, UINT, BYTE*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE WriteSource(IWICBitmapSource* source, WICRect*) override;
    HRESULT STDMETHODCALLTYPE Commit() override;
    HRESULT STDMETHODCALLTYPE GetMetadataQueryWriter(IWICMetadataQueryWriter** writer) override;

private:
    WritingFakes& m_fakes;
};

class FakeEncoder : public FakeComObject<IWICBitmapEncoder> {
public:
    explicit FakeEncoder(WritingFakes& fakes) : m_fakes(fakes) {}
    HRESULT STDMETHODCALLTYPE Initialize(IStream* stream, WICBitmapEncoderCacheOption) override;
    HRESULT STDMETHODCALLTYPE GetContainerFormat(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetEncoderInfo(IWICBitmapEncoderInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetColorContexts(UINT, IWICColorContext**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPalette(IWICPalette*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetThumbnail(IWICBitmapSource*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPreview(IWICBitmapSource*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateNewFrame(IWICBitmapFrameEncode** frame, IPropertyBag2** options) override;
    HRESULT STDMETHODCALLTYPE Commit() override;
    HRESULT STDMETHODCALLTYPE GetMetadataQueryWriter(IWICMetadataQueryWriter**) override { return E_NOTIMPL; }

private:
    WritingFakes& m_fakes;
    ComPtr<IStream> m_stream;
};

// A decoder of real frames with a chosen container that remembers the stream it reads.
class StreamDecoder : public FakeDecoder {
public:
    using FakeDecoder::FakeDecoder;
    HRESULT STDMETHODCALLTYPE Initialize(IStream* stream, WICDecodeOptions) override
    {
        this->stream = ComPtr<IStream>(stream);
        return S_OK;
    }
    ComPtr<IStream> stream;
};

// What the fakes record and how they answer.
struct WritingFakes {
    WriteLog log;
    std::wstring failingName;              // SetMetadataByName of this name fails
    HRESULT fastEncoderResult = S_OK;      // of CreateFastMetadataEncoderFromFrameDecode
    HRESULT fastCommitResult = S_OK;       // of the fast encoder's Commit
    int framesWritten = 0;
    // Each decoder request gets a new decoder of this container with this many frames over real
    // pixels, so that the picture's stream closes when the writer lets the decoder go.
    GUID container{};
    int frames = 1;
    StreamDecoder* decoder = nullptr;  // the latest, while the writer holds it
};

// The real factory with the writing fakes handed out: a fake decoder for every decoder request, a
// fake fast encoder, and a fake encoder on the real temporary stream.
class WritingWicFactory : public RecordingWicFactory {
public:
    WritingWicFactory(IWICImagingFactory* real, WritingFakes& fakes) : RecordingWicFactory(real), m_fakes(fakes) {}
    HRESULT STDMETHODCALLTYPE CreateDecoder(REFGUID container, const GUID* vendor, IWICBitmapDecoder** out) override;
    HRESULT STDMETHODCALLTYPE CreateDecoderFromFilename(LPCWSTR name, const GUID* vendor, DWORD access,
                                                        WICDecodeOptions options, IWICBitmapDecoder** out) override;
    HRESULT STDMETHODCALLTYPE CreateEncoder(REFGUID container, const GUID* vendor, IWICBitmapEncoder** out) override;
    HRESULT STDMETHODCALLTYPE CreateFastMetadataEncoderFromFrameDecode(IWICBitmapFrameDecode* frame,
                                                                       IWICFastMetadataEncoder** out) override;

private:
    WritingFakes& m_fakes;
};
