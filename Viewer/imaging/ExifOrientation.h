#pragma once
// Turning the EXIF orientation of a frame into a flip/rotate step of the decode.
#include <wincodec.h>
#include <cstdint>

class DecodeThreadContext;

// The transform that shows a picture stored with this EXIF orientation upright; 0 for 1, or for
// any value outside 1-8.
WICBitmapTransformOptions OrientationToTransform(int orientation) noexcept;

// The orientation tag (274) of the first image directory, for platforms that refuse policy names
// such as "System.Photo.Orientation": the path of TIFF-rooted containers; JPEG-rooted ones keep the
// directory below "/app1".
inline constexpr wchar_t OrientationTagPath[] = L"/ifd/{ushort=274}";

// The transform for the frame's orientation: "System.Photo.Orientation", else the raw tag of a TIFF
// or of a JPEG, else "/xmp/tiff:Orientation"; 0 when the frame or its metadata cannot be read.
WICBitmapTransformOptions GetOrientationTransform(IWICBitmapFrameDecode* frame) noexcept;

// sourceOut receives the oriented source, or the source itself (one more reference) when nothing
// is to be done or anything fails; rotatedFlag (may be null) is 1 only when a flip/rotator is in place.
void ApplyExifOrientation(DecodeThreadContext* context, IWICBitmapSource** sourceOut, IWICBitmapSource* source,
                          IWICBitmapFrameDecode* frame, uint8_t* rotatedFlag) noexcept;
