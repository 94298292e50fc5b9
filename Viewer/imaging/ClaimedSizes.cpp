#include "Viewer/imaging/ClaimedSizes.h"
#include "Viewer/imaging/GuardedCopyPixels.h"
#include <algorithm>
#include <iterator>
#include <cstdint>
#include <cstring>
#include <cstdlib>

namespace {
constexpr size_t FileHeaderBytes = 14;
// The sizes of the bitmap headers whose width and height are 32-bit (the oldest, of 12 bytes, has
// 16-bit ones that cannot wrap).
constexpr uint32_t WideHeaderBytes[] = {40, 52, 56, 64, 108, 124};
constexpr size_t IconEntryBytes = 16;
constexpr uint16_t MostIconImages = 256;

uint32_t Little32(const BYTE* p)
{
    uint32_t v;
    std::memcpy(&v, p, sizeof(v));
    return v;
}

uint16_t Little16(const BYTE* p)
{
    uint16_t v;
    std::memcpy(&v, p, sizeof(v));
    return v;
}

// Reads size bytes at offset; false when the file holds fewer.
bool ReadAt(IStream* stream, uint64_t offset, void* bytes, ULONG size)
{
    LARGE_INTEGER to;
    to.QuadPart = LONGLONG(offset);
    ULONG read = 0;
    return SUCCEEDED(stream->Seek(to, STREAM_SEEK_SET, nullptr)) && SUCCEEDED(stream->Read(bytes, size, &read)) &&
           read == size;
}

// A device-independent bitmap header at offset; an icon's holds twice the image's height (colours,
// then the transparency mask).
HRESULT CheckBitmapHeader(IStream* stream, uint64_t offset)
{
    BYTE header[16];
    if (!ReadAt(stream, offset, header, sizeof(header))) return S_OK;
    // Only the headers with 32-bit sizes; an icon's image may also be a PNG, which starts otherwise.
    const uint32_t headerBytes = Little32(header);
    if (std::find(std::begin(WideHeaderBytes), std::end(WideHeaderBytes), headerBytes) == std::end(WideHeaderBytes))
        return S_OK;
    const int64_t width = int32_t(Little32(header + 4));
    const int64_t height = int32_t(Little32(header + 8));
    const uint64_t bits = std::max<uint64_t>(Little16(header + 14), 32);
    const uint64_t rowBytes = (uint64_t(std::llabs(width)) * bits + 31) / 32 * 4;
    if (height == INT32_MIN || rowBytes > INT32_MAX || rowBytes * uint64_t(std::llabs(height)) > UINT32_MAX)
        return WicValueOverflow;
    return S_OK;
}

HRESULT CheckIconDirectory(IStream* stream)
{
    BYTE directory[6];
    if (!ReadAt(stream, 0, directory, sizeof(directory))) return S_OK;
    const uint16_t count = std::min(Little16(directory + 4), MostIconImages);
    for (uint16_t i = 0; i < count; ++i) {
        BYTE entry[IconEntryBytes];
        if (!ReadAt(stream, sizeof(directory) + uint64_t(i) * IconEntryBytes, entry, sizeof(entry))) break;
        if (HRESULT hr = CheckBitmapHeader(stream, Little32(entry + 12)); FAILED(hr)) return hr;
    }
    return S_OK;
}
}

HRESULT CheckClaimedSizes(IStream* stream, REFGUID container) noexcept
{
    const bool bitmap = container == GUID_ContainerFormatBmp;
    if (!bitmap && container != GUID_ContainerFormatIco) return S_OK;
    // The decoder reads the same stream: it finds it where it left it.
    ULARGE_INTEGER position = {};
    if (HRESULT hr = stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &position); FAILED(hr)) return hr;
    const HRESULT hr = bitmap ? CheckBitmapHeader(stream, FileHeaderBytes) : CheckIconDirectory(stream);
    LARGE_INTEGER back;
    back.QuadPart = LONGLONG(position.QuadPart);
    const HRESULT restored = stream->Seek(back, STREAM_SEEK_SET, nullptr);
    return FAILED(hr) ? hr : restored;
}
