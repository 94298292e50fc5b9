#include "tests/imaging/FakeMetadataWriting.h"
#include <cstring>

HRESULT FakeQueryWriter::SetMetadataByName(LPCWSTR name, const PROPVARIANT* value)
{
    std::wstring entry = std::wstring(name) + L"=";
    switch (value->vt) {
    case VT_LPWSTR: entry += std::wstring(L"LPWSTR:") + value->pwszVal; break;
    case VT_LPSTR: {
        entry += L"LPSTR:";
        for (const char* c = value->pszVal; *c; ++c) entry += static_cast<wchar_t>(*c);
        break;
    }
    case VT_UI2: entry += L"UI2:" + std::to_wstring(value->uiVal); break;
    case VT_UI4: entry += L"UI4:" + std::to_wstring(value->ulVal); break;
    default: entry += L"?"; break;
    }
    m_log.push_back(entry);
    return name == m_failing ? E_FAIL : S_OK;
}

HRESULT FakeFastEncoder::Commit()
{
    if (FAILED(m_fakes.fastCommitResult)) return m_fakes.fastCommitResult;
    // A real change of the picture through the stream it was opened on, as the platform's would be.
    if (!m_fakes.decoder || !m_fakes.decoder->stream) return E_UNEXPECTED;
    const LARGE_INTEGER end{};
    m_fakes.decoder->stream->Seek(end, STREAM_SEEK_END, nullptr);
    ULONG written = 0;
    return m_fakes.decoder->stream->Write("!", 1, &written);
}

HRESULT FakeFastEncoder::GetMetadataQueryWriter(IWICMetadataQueryWriter** writer)
{
    *writer = new FakeQueryWriter(m_fakes.log, m_fakes.failingName);
    return S_OK;
}

HRESULT FakeFrameEncode::WriteSource(IWICBitmapSource* source, WICRect*)
{
    return source ? S_OK : E_INVALIDARG;
}

HRESULT FakeFrameEncode::Commit()
{
    ++m_fakes.framesWritten;
    return S_OK;
}

HRESULT FakeFrameEncode::GetMetadataQueryWriter(IWICMetadataQueryWriter** writer)
{
    *writer = new FakeQueryWriter(m_fakes.log, m_fakes.failingName);
    return S_OK;
}

HRESULT FakeEncoder::Initialize(IStream* stream, WICBitmapEncoderCacheOption)
{
    m_stream = ComPtr<IStream>(stream);
    return S_OK;
}

HRESULT FakeEncoder::CreateNewFrame(IWICBitmapFrameEncode** frame, IPropertyBag2** options)
{
    *frame = new FakeFrameEncode(m_fakes);
    if (options) *options = nullptr;
    return S_OK;
}

HRESULT FakeEncoder::Commit()
{
    ULONG written = 0;
    return m_stream->Write(ReencodedBytes, static_cast<ULONG>(strlen(ReencodedBytes)), &written);
}

HRESULT WritingWicFactory::CreateDecoder(REFGUID, const GUID*, IWICBitmapDecoder** out)
{
    ++decoderRequests;
    auto* made = new StreamDecoder(m_fakes.container);
    for (int i = 0; i < m_fakes.frames; ++i) {
        auto frame = ComPtr<FakeFrame>::Attach(new FakeFrame(MakeNumberedBitmap(2, 2).Get(), nullptr));
        made->AddFrame(frame.Get());
    }
    m_fakes.decoder = made;
    *out = made;
    return S_OK;
}

HRESULT WritingWicFactory::CreateDecoderFromFilename(LPCWSTR, const GUID* vendor, DWORD, WICDecodeOptions,
                                                     IWICBitmapDecoder** out)
{
    return CreateDecoder(m_fakes.container, vendor, out);
}

HRESULT WritingWicFactory::CreateEncoder(REFGUID, const GUID*, IWICBitmapEncoder** out)
{
    *out = new FakeEncoder(m_fakes);
    return S_OK;
}

HRESULT WritingWicFactory::CreateFastMetadataEncoderFromFrameDecode(IWICBitmapFrameDecode*,
                                                                    IWICFastMetadataEncoder** out)
{
    if (FAILED(m_fakes.fastEncoderResult)) return m_fakes.fastEncoderResult;
    *out = new FakeFastEncoder(m_fakes);
    return S_OK;
}
