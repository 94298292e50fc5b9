#pragma once
// A bitmap source that counts the red, green and blue histogram of the pixels that pass through its
// CopyPixels, so that the decoded image is counted during the one copy into its final store.
#include "Framework/ComPtr.h"
#include "Viewer/imaging/ImageInfo.h"
#include <windows.h>
#include <wincodec.h>
#include <atomic>

// WIC's progress notification, which mingw-w64's wincodec.h does not declare.
enum WICProgressOperation : DWORD {
    WICProgressOperationCopyPixels = 0x1,
    WICProgressOperationWritePixels = 0x2,
    WICProgressOperationAll = 0xFFFF,
};
enum WICProgressNotification : DWORD {
    WICProgressNotificationBegin = 0x10000,
    WICProgressNotificationEnd = 0x20000,
    WICProgressNotificationFrequent = 0x40000,
    WICProgressNotificationAll = 0xFFFF0000,
};
typedef HRESULT(WINAPI* PFNProgressNotification)(LPVOID data, ULONG frameNumber, WICProgressOperation operation,
                                                 double progress);

struct IHistogramSource : public IUnknown {
    // Wraps source; flags other than 0 make every copy go in bands.
    virtual HRESULT STDMETHODCALLTYPE Initialize(IWICBitmapSource* source, DWORD flags) = 0;
    // flags must hold WICProgressOperationCopyPixels; a callback cannot be removed again.
    virtual HRESULT STDMETHODCALLTYPE RegisterProgressNotification(PFNProgressNotification callback, LPVOID data,
                                                                   DWORD flags) = 0;
    // Copies min(size, 3084) bytes of the HistogramData counted so far.
    virtual HRESULT STDMETHODCALLTYPE GetHistogram(void* buffer, UINT size) = 0;
};
__CRT_UUID_DECL(IHistogramSource, 0x22AC9B43, 0xA314, 0x4AC7, 0xB0, 0x4D, 0x24, 0x09, 0xF8, 0x39, 0xD5, 0x86)

class CHistogramSource final : public IWICBitmapSource, public IHistogramSource {
public:
    // A new object with one reference.
    static ComPtr<IHistogramSource> Create();
    // Whether the object can hand out pixels of format `to` from a source of format `from` by
    // itself: the opaque 32-bit layouts from 24bppBGR, camera pictures' common case, which the
    // platform's converter would otherwise take an extra pass over every pixel for.
    static bool CanExpand(REFWICPixelFormatGUID from, REFWICPixelFormatGUID to) noexcept;
    // A new object with one reference whose CopyPixels hands out outputFormat, widening the pixels
    // of its source during the copy; Initialize refuses a source that CanExpand does not allow.
    static ComPtr<IHistogramSource> CreateExpanding(REFWICPixelFormatGUID outputFormat);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IWICBitmapSource
    HRESULT STDMETHODCALLTYPE GetSize(UINT* width, UINT* height) override;
    HRESULT STDMETHODCALLTYPE GetPixelFormat(WICPixelFormatGUID* format) override;
    HRESULT STDMETHODCALLTYPE GetResolution(double* dpiX, double* dpiY) override;
    HRESULT STDMETHODCALLTYPE CopyPalette(IWICPalette* palette) override;
    HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT stride, UINT bufferSize, BYTE* buffer) override;

    // IHistogramSource
    HRESULT STDMETHODCALLTYPE Initialize(IWICBitmapSource* source, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE RegisterProgressNotification(PFNProgressNotification callback, LPVOID data,
                                                           DWORD flags) override;
    HRESULT STDMETHODCALLTYPE GetHistogram(void* buffer, UINT size) override;

private:
    CHistogramSource() = default;
    explicit CHistogramSource(REFWICPixelFormatGUID outputFormat) : m_outputFormat(outputFormat) {}
    ~CHistogramSource() = default;

    bool Expanding() const noexcept { return m_outputFormat != GUID_NULL; }
    HRESULT CopyDirect(const WICRect& rect, UINT stride, UINT bufferSize, BYTE* buffer);
    HRESULT CopyInBands(const WICRect& rect, UINT stride, BYTE* buffer);
    // One banded copy: the caller's rectangle and buffer, and the scratch that the source's rows pass
    // through, pieceRows rows at a time.
    struct RowCopy {
        const WICRect& rect;
        UINT stride;
        BYTE* buffer;
        BYTE* scratch;
        UINT scratchStride;
        INT pieceRows;
    };
    // Copies rows firstRow .. firstRow + rows - 1 of the rectangle from the source into the caller's
    // buffer, counting them; replaceCounts makes the first piece's counts replace the bins.
    HRESULT CopyRows(const RowCopy& copy, INT firstRow, INT rows, bool replaceCounts);
    // Counts rows that the scratch holds and moves them into the caller's buffer.
    void TakeRows(const BYTE* scratch, UINT scratchStride, BYTE* buffer, UINT stride, INT width, INT rows,
                  bool replaceCounts);
    HRESULT Notify(DWORD notification, double progress) const;
    // Counts rows of the buffer, replacing the bins.
    void CountRows(const BYTE* rows, UINT stride, INT width, INT height);
    // Counts rows of the buffer and adds the counts to the bins already there.
    void AddRows(const BYTE* rows, UINT stride, INT width, INT height);
    void Finish();

    std::atomic<LONG> m_refCount{0};
    HistogramData m_histogram = {};
    WICPixelFormatGUID m_pixelFormat = {};    // the wrapped source's, which is what is counted
    WICPixelFormatGUID m_outputFormat = {};   // what CopyPixels hands out when expanding; else GUID_NULL
    ComPtr<IWICBitmapSource> m_inner;
    LPVOID m_callbackData = nullptr;
    DWORD m_callbackFlags = 0;
    PFNProgressNotification m_callback = nullptr;
    DWORD m_initFlags = 0;
};
