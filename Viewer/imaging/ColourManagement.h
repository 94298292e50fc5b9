#pragma once
// Converting a decoded picture from its own colour space (embedded ICC profile, the EXIF
// InterColorProfile tag, or for camera previews the colour space of the maker note) to the target:
// sRGB, the display's profile or a profile file chosen by the user.
#include "Framework/Bstr.h"
#include "Framework/ComPtr.h"
#include <wincodec.h>
#include <atomic>

// Incremented before each possible colour-profile warning; only the increment that yields 1 shows
// one, so a process shows at most one.
inline std::atomic<LONG> ProfileWarningCount{0};

// Resource ids (RCDATA) of the program's own profiles.
inline constexpr UINT AdobeRgbProfileResource = 238;
inline constexpr UINT ProPhotoRgbProfileResource = 245;

// The transformer, the source itself (nothing to convert, or any failure), or null (no source or
// frame, or skipWithoutProfile and the picture names no profile). profileNameOut (optional) is
// emptied first and then receives the description of the source profile.
ComPtr<IWICBitmapSource> CreateColorTransform(IWICBitmapSource* source, IWICBitmapFrameDecode* frame, bool warn,
                                              REFWICPixelFormatGUID targetFormat, Bstr* profileNameOut,
                                              bool skipWithoutProfile);

// The same for an embedded preview of a camera file, which may name its colour space only in the
// maker note.
ComPtr<IWICBitmapSource> CreatePreviewColorTransform(IWICBitmapSource* source, IWICBitmapFrameDecode* frame, bool warn,
                                                     REFWICPixelFormatGUID targetFormat, Bstr* profileNameOut);

// The description of the frame's first colour context when it is an ICC profile.
Bstr GetFrameColorProfileName(IWICBitmapFrameDecode* frame);
Bstr GetColorContextDescription(IWICColorContext* context);

// The target profile file: null for sRGB, the display's profile for "<Automatic>", else the setting.
Bstr GetTargetProfilePath();
