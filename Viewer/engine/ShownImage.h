#pragma once
// The decoded image the view shows at present. The view (a higher layer) sets these references
// under the lock when it takes an entry's image; an entry that frees its image clears the
// reference under the same lock, so that the view never paints from freed memory.
#include "Framework/CriticalSection.h"
#include <d3d9.h>
#include <gdiplus.h>

struct ShownImageReferences {
    CriticalSection lock;
    Gdiplus::Bitmap* bitmap = nullptr;
    IDirect3DSurface9* surface = nullptr;
};

inline ShownImageReferences ShownImage;
