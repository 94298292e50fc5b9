#pragma once
// Writes one rating, colour label or urgency change, with the time of the change, into one picture
// file through the imaging component's metadata writers: in place when the file has room, else by
// re-encoding the picture with padding for later changes into a file beside it and swapping the two.
// The picture file is only ever opened for writing as a stream that cannot truncate it.
#include "Framework/ComPtr.h"
#include <windows.h>
#include <wincodec.h>
#include <functional>
#include <string>

// What the metadata writer's thread keeps for every file it writes.
struct EmbeddedWriteContext {
    std::wstring softwareName;             // creator tool and software fields of a re-encoded file
    ComPtr<IWICImagingFactory> factory;    // the thread's own
};

// HRESULT_FROM_WIN32(ERROR_UNSUPPORTED_TYPE): the file's format cannot hold the metadata.
inline constexpr HRESULT MetadataFormatUnsupported = HRESULT(0x8007065E);

// S_OK; E_UNEXPECTED without a factory; MetadataFormatUnsupported for containers other than JPEG,
// TIFF and HD Photo; E_FAIL without a decoder or when the re-encoded file came out empty; otherwise
// the first failure (a sharing violation among them, which the caller retries). The file's
// last-write time is kept unless "UpdateLastWriteTimeWhenRating" is set. onRewritten runs just
// before a re-encoded file takes the picture's name, so that the list can ignore the change report.
// A label-and-urgency change (both flags) is written as a label.
HRESULT WriteEmbeddedMetadata(const EmbeddedWriteContext& context, const wchar_t* path, int value, bool isLabel,
                              int convention, bool isUrgency, const SYSTEMTIME& time,
                              const std::function<void()>& onRewritten) noexcept;
