#pragma once
// Small fakes of the WIC metadata side, for what the platform here does not answer (EXIF and XMP
// of JPEG files, the "System.*" names): a query reader that answers from a table, a frame that
// hands it out around a real bitmap, and a decoder of such frames.
#include "Framework/ComPtr.h"
#include <gtest/gtest.h>
#include <wincodec.h>
#include <atomic>
#include <map>
#include <string>
#include <vector>

// Implements IUnknown for one interface; heap objects owned by their references.
template <class Interface>
class FakeComObject : public Interface {
public:
    virtual ~FakeComObject() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == __uuidof(Interface) || Answers(iid)) {
            *out = static_cast<Interface*>(this);
            this->AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG refs = --m_refs;
        if (refs == 0) delete this;
        return refs;
    }

protected:
    // Further interfaces that Interface derives from.
    virtual bool Answers(REFIID) const { return false; }

private:
    // Counted across threads: the device fakes are used from the thread pool.
    std::atomic<ULONG> m_refs{1};
};

// Answers GetMetadataByName from a table; every other name fails with the platform's "not found".
class FakeQueryReader : public FakeComObject<IWICMetadataQueryReader> {
public:
    ~FakeQueryReader() override;
    void SetText(const std::wstring& name, const wchar_t* text);       // VT_LPWSTR
    void SetAnsi(const std::wstring& name, const char* text);          // VT_LPSTR
    void SetUInt16(const std::wstring& name, USHORT value);            // VT_UI2
    void SetUInt32(const std::wstring& name, ULONG value);             // VT_UI4
    void SetRational(const std::wstring& name, ULONG numerator, ULONG denominator);  // VT_UI8
    void SetSignedRational(const std::wstring& name, LONG numerator, LONG denominator);  // VT_I8
    void SetFileTime(const std::wstring& name, FILETIME time);
    void SetBlob(const std::wstring& name, const std::vector<BYTE>& bytes);
    void SetTextVector(const std::wstring& name, const std::vector<std::wstring>& texts);
    // Names asked for, in order.
    std::vector<std::wstring> asked;

    HRESULT STDMETHODCALLTYPE GetContainerFormat(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetLocation(UINT, WCHAR*, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMetadataByName(LPCWSTR name, PROPVARIANT* value) override;
    HRESULT STDMETHODCALLTYPE GetEnumerator(IEnumString**) override { return E_NOTIMPL; }

private:
    PROPVARIANT& Slot(const std::wstring& name);
    std::map<std::wstring, PROPVARIANT> m_values;
};

// An object of Interface whose IWICBitmapSource methods are those of an inner source.
template <class Interface, class Inner = Interface>
class ForwardingBitmapSource : public FakeComObject<Interface> {
public:
    explicit ForwardingBitmapSource(Inner* inner) : m_inner(inner) {}

    HRESULT STDMETHODCALLTYPE GetSize(UINT* w, UINT* h) override { return m_inner->GetSize(w, h); }
    HRESULT STDMETHODCALLTYPE GetPixelFormat(WICPixelFormatGUID* f) override { return m_inner->GetPixelFormat(f); }
    HRESULT STDMETHODCALLTYPE GetResolution(double* x, double* y) override { return m_inner->GetResolution(x, y); }
    HRESULT STDMETHODCALLTYPE CopyPalette(IWICPalette* p) override { return m_inner->CopyPalette(p); }
    HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* r, UINT stride, UINT size, BYTE* buffer) override
    {
        return m_inner->CopyPixels(r, stride, size, buffer);
    }

protected:
    bool Answers(REFIID iid) const override { return iid == IID_IWICBitmapSource; }

    ComPtr<Inner> m_inner;
};

// A frame around a real bitmap source whose metadata comes from the given reader (a FakeQueryReader,
// or a real frame's) or fails when there is none.
class FakeFrame : public ForwardingBitmapSource<IWICBitmapFrameDecode, IWICBitmapSource> {
public:
    FakeFrame(IWICBitmapSource* pixels, IWICMetadataQueryReader* reader);

    HRESULT STDMETHODCALLTYPE GetMetadataQueryReader(IWICMetadataQueryReader** reader) override;
    // Answers with colorContextsResult, or hands out profiles (each an ICC profile's bytes) as contexts.
    HRESULT STDMETHODCALLTYPE GetColorContexts(UINT count, IWICColorContext** contexts, UINT* actual) override;
    HRESULT STDMETHODCALLTYPE GetThumbnail(IWICBitmapSource**) override { return WINCODEC_ERR_CODECNOTHUMBNAIL; }

    HRESULT colorContextsResult = S_OK;
    std::vector<std::vector<BYTE>> profiles;

private:
    ComPtr<IWICMetadataQueryReader> m_reader;
};

// A decoder of fake frames with a chosen container format.
class FakeDecoder : public FakeComObject<IWICBitmapDecoder> {
public:
    explicit FakeDecoder(const GUID& container) : m_container(container) {}
    void AddFrame(FakeFrame* frame) { m_frames.emplace_back(frame); }

    HRESULT STDMETHODCALLTYPE QueryCapability(IStream*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Initialize(IStream*, WICDecodeOptions) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainerFormat(GUID* format) override;
    HRESULT STDMETHODCALLTYPE GetDecoderInfo(IWICBitmapDecoderInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyPalette(IWICPalette*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMetadataQueryReader(IWICMetadataQueryReader**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPreview(IWICBitmapSource**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetColorContexts(UINT, IWICColorContext**, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetThumbnail(IWICBitmapSource**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFrameCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetFrame(UINT index, IWICBitmapFrameDecode** frame) override;

private:
    GUID m_container;
    std::vector<ComPtr<FakeFrame>> m_frames;
};

// A small 32bpp BGRA bitmap of the real factory whose pixel at (x, y) is the value x + 16 * y + 1.
ComPtr<IWICBitmap> MakeNumberedBitmap(UINT width, UINT height);
// All pixels of a 32-bit source, row by row.
std::vector<UINT> ReadPixels32(IWICBitmapSource* source);

// Tests that use the real imaging factory as the process-wide one.
class WicFactoryTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
