#include "Viewer/imaging/HistogramSource.h"
#include "Viewer/primitives/HistogramLevels.h"
#include "Viewer/primitives/AddScaled.h"
#include "Viewer/primitives/ExpandPixels.h"
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>

namespace {
constexpr int BinsPerChannel = 256;
constexpr int LevelCount = BinsPerChannel + 1;

// Boundaries 0, 1, ..., 256 for each channel: bin k counts the samples equal to k.
struct LevelTables {
    std::array<int32_t, LevelCount> boundaries;
    const int32_t* perChannel[3];
    int32_t counts[3] = {LevelCount, LevelCount, LevelCount};

    LevelTables()
    {
        for (int k = 0; k < LevelCount; ++k) boundaries[k] = k;
        std::fill(std::begin(perChannel), std::end(perChannel), boundaries.data());
    }
};

const LevelTables& Levels()
{
    static const LevelTables tables;
    return tables;
}

// Rows per band: about a sixteenth of the picture, at least 512, rounded up to whole 128s.
INT BandRows(INT height)
{
    const INT limit = std::max(height / 16, 512);
    INT rows = height;
    while (rows > limit) rows >>= 1;
    return (rows + 127) / 128 * 128;
}

// Bytes of a band's rows that are counted and moved together, small enough to stay in the cache
// between the two passes.
constexpr size_t CacheFriendlyBytes = 256 * 1024;

uint32_t LowerToMaximum(uint32_t (&bins)[256])
{
    int32_t maximum = 0;
    for (int k = 1; k < 255; ++k) maximum = std::max(maximum, int32_t(bins[k]));
    for (int k : {0, 255})
        if (int32_t(bins[k]) > maximum) bins[k] = uint32_t(maximum);
    return uint32_t(maximum);
}
}

ComPtr<IHistogramSource> CHistogramSource::Create()
{
    return ComPtr<IHistogramSource>(new CHistogramSource);
}

bool CHistogramSource::CanExpand(REFWICPixelFormatGUID from, REFWICPixelFormatGUID to) noexcept
{
    // Opaque pixels are the same premultiplied or not.
    return from == GUID_WICPixelFormat24bppBGR &&
           (to == GUID_WICPixelFormat32bppPBGRA || to == GUID_WICPixelFormat32bppBGRA);
}

ComPtr<IHistogramSource> CHistogramSource::CreateExpanding(REFWICPixelFormatGUID outputFormat)
{
    return ComPtr<IHistogramSource>(new CHistogramSource(outputFormat));
}

HRESULT CHistogramSource::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == __uuidof(IWICBitmapSource)) {
        *object = static_cast<IWICBitmapSource*>(this);
    } else if (iid == __uuidof(IHistogramSource)) {
        *object = static_cast<IHistogramSource*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG CHistogramSource::AddRef()
{
    return ULONG(++m_refCount);
}

ULONG CHistogramSource::Release()
{
    const LONG remaining = --m_refCount;
    if (remaining == 0) delete this;
    return ULONG(remaining);
}

HRESULT CHistogramSource::GetSize(UINT* width, UINT* height)
{
    return m_inner ? m_inner->GetSize(width, height) : E_UNEXPECTED;
}

HRESULT CHistogramSource::GetPixelFormat(WICPixelFormatGUID* format)
{
    if (!m_inner) return E_UNEXPECTED;
    if (!format) return E_INVALIDARG;
    *format = Expanding() ? m_outputFormat : m_pixelFormat;
    return S_OK;
}

HRESULT CHistogramSource::GetResolution(double* dpiX, double* dpiY)
{
    return m_inner ? m_inner->GetResolution(dpiX, dpiY) : E_UNEXPECTED;
}

HRESULT CHistogramSource::CopyPalette(IWICPalette* palette)
{
    return m_inner ? m_inner->CopyPalette(palette) : E_UNEXPECTED;
}

HRESULT CHistogramSource::Initialize(IWICBitmapSource* source, DWORD flags)
{
    if (!source) return E_UNEXPECTED;
    if (source != m_inner.Get()) m_inner = ComPtr<IWICBitmapSource>(source);
    m_initFlags = flags;
    if (HRESULT hr = m_inner->GetPixelFormat(&m_pixelFormat); FAILED(hr)) return hr;
    return Expanding() && !CanExpand(m_pixelFormat, m_outputFormat) ? WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT : S_OK;
}

HRESULT CHistogramSource::RegisterProgressNotification(PFNProgressNotification callback, LPVOID data, DWORD flags)
{
    if (!callback || !(flags & WICProgressOperationCopyPixels)) return E_INVALIDARG;
    m_callback = callback;
    m_callbackData = data;
    m_callbackFlags = flags;
    return S_OK;
}

HRESULT CHistogramSource::GetHistogram(void* buffer, UINT size)
{
    if (!buffer) return E_INVALIDARG;
    std::memcpy(buffer, &m_histogram, std::min<size_t>(size, sizeof(m_histogram)));
    return S_OK;
}

HRESULT CHistogramSource::CopyPixels(const WICRect* rect, UINT stride, UINT bufferSize, BYTE* buffer)
{
    if (!m_inner) return E_UNEXPECTED;
    // No rectangle means the whole picture, as for any WIC source.
    WICRect whole = {};
    if (!rect) {
        UINT width = 0, height = 0;
        if (HRESULT hr = m_inner->GetSize(&width, &height); FAILED(hr)) return hr;
        whole = {0, 0, INT(width), INT(height)};
        rect = &whole;
    }
    // The bands are copied into the caller's buffer by this object, not by the codec, so the buffer
    // is checked here.
    if (!buffer || rect->Width < 0 || rect->Height < 0 || uint64_t(stride) * uint64_t(rect->Height) > bufferSize)
        return E_INVALIDARG;
    // Widening writes four bytes a pixel, which the stride must hold.
    if (Expanding() && stride < uint64_t(rect->Width) * 4) return E_INVALIDARG;
    if (!m_callback && m_initFlags == 0 && !Expanding()) return CopyDirect(*rect, stride, bufferSize, buffer);
    return CopyInBands(*rect, stride, buffer);
}

HRESULT CHistogramSource::CopyDirect(const WICRect& rect, UINT stride, UINT bufferSize, BYTE* buffer)
{
    const HRESULT hr = m_inner->CopyPixels(&rect, stride, bufferSize, buffer);
    if (SUCCEEDED(hr)) {
        CountRows(buffer, stride, rect.Width, rect.Height);
        Finish();
    }
    return hr;
}

HRESULT CHistogramSource::CopyInBands(const WICRect& rect, UINT stride, BYTE* buffer)
{
    HRESULT result = Notify(WICProgressNotificationBegin, 0.0);
    if (result == E_ABORT) return E_ABORT;

    const INT height = rect.Height;
    const INT bandRows = BandRows(height);
    const INT bands = bandRows ? height / bandRows : 0;
    const INT remainder = bandRows ? height % bandRows : height;
    // Widening takes the source's own rows (in whole 32-bit words, as WIC strides go) a few at a time,
    // so that the codec's copy, the count and the widening all find them in the cache; otherwise a
    // band is copied at once.
    const size_t scratchStride = Expanding() ? (size_t(rect.Width) * 3 + 3) & ~size_t(3) : stride;
    const INT cachedRows = INT(std::max<size_t>(1, CacheFriendlyBytes / std::max<size_t>(scratchStride, 1)));
    const INT pieceRows = Expanding() ? cachedRows : std::max(remainder, bandRows);
    const size_t scratchBytes = size_t(pieceRows) * scratchStride;
    if (scratchBytes > UINT_MAX || scratchStride > UINT_MAX) return E_INVALIDARG;
    std::unique_ptr<BYTE[]> scratch(new (std::nothrow) BYTE[scratchBytes ? scratchBytes : 1]);
    if (!scratch) return E_OUTOFMEMORY;
    const RowCopy copy = {rect, stride, buffer, scratch.get(), UINT(scratchStride), pieceRows};

    for (INT band = 0; band < bands; ++band) {
        result = CopyRows(copy, band * bandRows, bandRows, band == 0);
        if (FAILED(result)) break;
        if ((m_callbackFlags & WICProgressNotificationFrequent) && height > 0) {
            result = Notify(WICProgressNotificationFrequent, (band + 1) * bandRows * 100.0 / height);
            if (result == E_ABORT) break;
        }
    }
    if (SUCCEEDED(result) && remainder > 0) result = CopyRows(copy, bands * bandRows, remainder, false);
    scratch.reset();

    if (SUCCEEDED(result)) {
        Notify(WICProgressNotificationEnd, 100.0);
        Finish();
    }
    return result;
}

HRESULT CHistogramSource::CopyRows(const RowCopy& copy, INT firstRow, INT rows, bool replaceCounts)
{
    for (INT done = 0; done < rows; done += copy.pieceRows) {
        const INT count = std::min(copy.pieceRows, rows - done);
        const WICRect piece = {copy.rect.X, copy.rect.Y + firstRow + done, copy.rect.Width, count};
        const HRESULT hr = m_inner->CopyPixels(&piece, copy.scratchStride, UINT(count) * copy.scratchStride, copy.scratch);
        if (FAILED(hr)) return hr;
        TakeRows(copy.scratch, copy.scratchStride, copy.buffer + size_t(firstRow + done) * copy.stride, copy.stride,
                 copy.rect.Width, count, replaceCounts && done == 0);
    }
    return S_OK;
}

void CHistogramSource::TakeRows(const BYTE* scratch, UINT scratchStride, BYTE* buffer, UINT stride, INT width,
                                INT rows, bool replaceCounts)
{
    // A few rows at a time, so that the move finds in the cache what the count has just read.
    const INT step = INT(std::max<size_t>(1, CacheFriendlyBytes / std::max<UINT>(scratchStride, 1)));
    for (INT done = 0; done < rows; done += step) {
        const INT count = std::min(step, rows - done);
        const BYTE* from = scratch + size_t(done) * scratchStride;
        BYTE* to = buffer + size_t(done) * stride;
        if (replaceCounts && done == 0)
            CountRows(from, scratchStride, width, count);
        else
            AddRows(from, scratchStride, width, count);
        if (Expanding()) {
            for (INT row = 0; row < count; ++row)
                ExpandRow24To32Opaque(from + size_t(row) * scratchStride, to + size_t(row) * stride, width);
        } else {
            std::memcpy(to, from, size_t(count) * stride);
        }
    }
}

HRESULT CHistogramSource::Notify(DWORD notification, double progress) const
{
    if (!m_callback || !(m_callbackFlags & notification)) return S_OK;
    return m_callback(m_callbackData, 0, WICProgressOperationCopyPixels, progress);
}

void CHistogramSource::CountRows(const BYTE* rows, UINT stride, INT width, INT height)
{
    decltype(&HistogramLevels8uC3) count = nullptr;
    if (m_pixelFormat == GUID_WICPixelFormat24bppBGR)
        count = HistogramLevels8uC3;
    else if (m_pixelFormat == GUID_WICPixelFormat32bppPBGRA)
        count = HistogramLevels8uC4NoAlpha;
    else if (m_pixelFormat == GUID_WICPixelFormat48bppRGB)
        count = HistogramLevels16uC3;
    if (!count) return;

    // Memory order of the 8-bit formats is blue, green, red.
    int32_t* channelBins[3] = {reinterpret_cast<int32_t*>(m_histogram.blue),
                               reinterpret_cast<int32_t*>(m_histogram.green),
                               reinterpret_cast<int32_t*>(m_histogram.red)};
    const LevelTables& levels = Levels();
    count(rows, INT(stride), {width, height}, channelBins, levels.perChannel, levels.counts);
}

void CHistogramSource::AddRows(const BYTE* rows, UINT stride, INT width, INT height)
{
    constexpr int binCount = 3 * BinsPerChannel;
    int32_t saved[binCount];
    std::memcpy(saved, &m_histogram, sizeof(saved));
    CountRows(rows, stride, width, height);
    AddScaledInt32(saved, reinterpret_cast<int32_t*>(&m_histogram), binCount, 0);
}

void CHistogramSource::Finish()
{
    m_histogram.redMax = LowerToMaximum(m_histogram.red);
    m_histogram.greenMax = LowerToMaximum(m_histogram.green);
    m_histogram.blueMax = LowerToMaximum(m_histogram.blue);
}
