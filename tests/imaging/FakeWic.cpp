#include "tests/imaging/FakeWic.h"
#include "Framework/HResultError.h"
#include "Viewer/imaging/WicFactory.h"
#include <cstring>

FakeQueryReader::~FakeQueryReader()
{
    for (auto& [name, value] : m_values) PropVariantClear(&value);
}

PROPVARIANT& FakeQueryReader::Slot(const std::wstring& name)
{
    PROPVARIANT& slot = m_values[name];
    PropVariantClear(&slot);
    return slot;
}

void FakeQueryReader::SetText(const std::wstring& name, const wchar_t* text)
{
    PROPVARIANT& v = Slot(name);
    v.vt = VT_LPWSTR;
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    v.pwszVal = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    memcpy(v.pwszVal, text, bytes);
}

void FakeQueryReader::SetAnsi(const std::wstring& name, const char* text)
{
    PROPVARIANT& v = Slot(name);
    v.vt = VT_LPSTR;
    size_t bytes = strlen(text) + 1;
    v.pszVal = static_cast<LPSTR>(CoTaskMemAlloc(bytes));
    memcpy(v.pszVal, text, bytes);
}

void FakeQueryReader::SetUInt16(const std::wstring& name, USHORT value)
{
    PROPVARIANT& v = Slot(name);
    v.vt = VT_UI2;
    v.uiVal = value;
}

void FakeQueryReader::SetUInt32(const std::wstring& name, ULONG value)
{
    PROPVARIANT& v = Slot(name);
    v.vt = VT_UI4;
    v.ulVal = value;
}

void FakeQueryReader::SetRational(const std::wstring& name, ULONG numerator, ULONG denominator)
{
    PROPVARIANT& v = Slot(name);
    v.vt = VT_UI8;
    v.uhVal.QuadPart = (static_cast<ULONGLONG>(denominator) << 32) | numerator;
}

void FakeQueryReader::SetSignedRational(const std::wstring& name, LONG numerator, LONG denominator)
{
    PROPVARIANT& v = Slot(name);
    v.vt = VT_I8;
    v.hVal.QuadPart = static_cast<LONGLONG>((static_cast<ULONGLONG>(static_cast<ULONG>(denominator)) << 32) |
                                            static_cast<ULONG>(numerator));
}

void FakeQueryReader::SetFileTime(const std::wstring& name, FILETIME time)
{
    PROPVARIANT& v = Slot(name);
    v.vt = VT_FILETIME;
    v.filetime = time;
}

void FakeQueryReader::SetBlob(const std::wstring& name, const std::vector<BYTE>& bytes)
{
    PROPVARIANT& v = Slot(name);
    v.vt = VT_BLOB;
    v.blob.cbSize = static_cast<ULONG>(bytes.size());
    v.blob.pBlobData = static_cast<BYTE*>(CoTaskMemAlloc(bytes.size() ? bytes.size() : 1));
    if (!bytes.empty()) memcpy(v.blob.pBlobData, bytes.data(), bytes.size());
}

void FakeQueryReader::SetTextVector(const std::wstring& name, const std::vector<std::wstring>& texts)
{
    PROPVARIANT& v = Slot(name);
    v.vt = VT_VECTOR | VT_LPWSTR;
    v.calpwstr.cElems = static_cast<ULONG>(texts.size());
    v.calpwstr.pElems = static_cast<LPWSTR*>(CoTaskMemAlloc(sizeof(LPWSTR) * (texts.size() + 1)));
    for (size_t i = 0; i < texts.size(); ++i) {
        size_t bytes = (texts[i].size() + 1) * sizeof(wchar_t);
        v.calpwstr.pElems[i] = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
        memcpy(v.calpwstr.pElems[i], texts[i].c_str(), bytes);
    }
}

HRESULT FakeQueryReader::GetMetadataByName(LPCWSTR name, PROPVARIANT* value)
{
    asked.emplace_back(name);
    auto found = m_values.find(name);
    if (found == m_values.end()) return WINCODEC_ERR_PROPERTYNOTFOUND;
    return PropVariantCopy(value, &found->second);
}

FakeFrame::FakeFrame(IWICBitmapSource* pixels, IWICMetadataQueryReader* reader)
    : ForwardingBitmapSource(pixels), m_reader(reader)
{
}

HRESULT FakeFrame::GetMetadataQueryReader(IWICMetadataQueryReader** reader)
{
    if (!m_reader) return WINCODEC_ERR_UNSUPPORTEDOPERATION;
    *reader = ComPtr<IWICMetadataQueryReader>(m_reader).Detach();
    return S_OK;
}

HRESULT FakeFrame::GetColorContexts(UINT count, IWICColorContext** contexts, UINT* actual)
{
    if (FAILED(colorContextsResult)) return colorContextsResult;
    *actual = static_cast<UINT>(profiles.size());
    for (UINT i = 0; i < count && i < profiles.size(); ++i) {
        HRESULT hr = contexts[i]->InitializeFromMemory(profiles[i].data(), static_cast<UINT>(profiles[i].size()));
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT FakeDecoder::GetContainerFormat(GUID* format)
{
    *format = m_container;
    return S_OK;
}

HRESULT FakeDecoder::GetFrameCount(UINT* count)
{
    *count = static_cast<UINT>(m_frames.size());
    return S_OK;
}

HRESULT FakeDecoder::GetFrame(UINT index, IWICBitmapFrameDecode** frame)
{
    if (index >= m_frames.size()) return E_INVALIDARG;
    *frame = ComPtr<IWICBitmapFrameDecode>(m_frames[index].Get()).Detach();
    return S_OK;
}

ComPtr<IWICBitmap> MakeNumberedBitmap(UINT width, UINT height)
{
    std::vector<UINT> pixels(width * height);
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x) pixels[y * width + x] = x + 16 * y + 1;
    ComPtr<IWICBitmap> bitmap;
    ThrowIfFailed(g_WicFactory->CreateBitmapFromMemory(width, height, GUID_WICPixelFormat32bppBGRA, width * 4,
                                                       width * height * 4,
                                                       reinterpret_cast<BYTE*>(pixels.data()), &bitmap));
    return bitmap;
}

std::vector<UINT> ReadPixels32(IWICBitmapSource* source)
{
    UINT width = 0, height = 0;
    ThrowIfFailed(source->GetSize(&width, &height));
    std::vector<UINT> pixels(width * height);
    ThrowIfFailed(source->CopyPixels(nullptr, width * 4, width * height * 4, reinterpret_cast<BYTE*>(pixels.data())));
    return pixels;
}

void WicFactoryTest::SetUp()
{
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    ASSERT_EQ(S_OK, CreateWicFactory());
}

void WicFactoryTest::TearDown()
{
    ReleaseWicFactory();
    CoUninitialize();
}
