#pragma once
// The decoded picture the view shows at present. The view (a higher layer) sets these slots under
// the lock when it takes a picture; an entry that frees its picture clears the slot that still
// points to it under the same lock, from whatever thread frees it, so that the view never paints
// from freed memory.
#include "Framework/CriticalSection.h"
#include <d3d9.h>
#include <gdiplus.h>

inline CriticalSection ViewLock;
inline Gdiplus::Bitmap* DisplayedBitmap = nullptr;
inline IDirect3DSurface9* DisplayedSurface = nullptr;
