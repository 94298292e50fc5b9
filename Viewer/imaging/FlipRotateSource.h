#pragma once
// A flip/rotate step that always delivers pixels: the platform's flip/rotator is asked first, and
// when it cannot perform a transform (some platforms implement only the vertical flip) the
// transform is done here from the whole source, with the platform's meaning: rotate, then flip.
#include "Framework/ComPtr.h"
#include <wincodec.h>

// Wraps an initialised platform flip/rotator over source with transform.
ComPtr<IWICBitmapSource> CreateFlipRotateSource(IWICBitmapFlipRotator* platform, IWICBitmapSource* source,
                                                WICBitmapTransformOptions transform);
