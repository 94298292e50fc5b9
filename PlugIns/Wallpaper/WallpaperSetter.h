#pragma once
// One picture file made the desktop wallpaper of the primary screen: loaded with its colour profile,
// turned upright, scaled to cover the screen with the overflow cut evenly, sharpened, saved in the
// user's local application-data folder and handed to Windows, stretched and not tiled.
// The host process has GDI+ running.
#include "PlugIns/Wallpaper/GdiPlusBitmap.h"

// Where the picture goes on a cx × cy screen: drawn size and offset (zero or negative).
struct WallpaperPlacement {
    int x, y, width, height;
};
WallpaperPlacement PlaceOnScreen(int width, int height, int cx, int cy) noexcept;

// The unsharp mask's sigma for the screen, growing with its size, at most 1.
float WallpaperSigma(int cx, int cy) noexcept;

// The GDI+ turn that makes a picture of this EXIF orientation upright (0 and values above 8: none).
Gdiplus::RotateFlipType UprightTurn(UINT orientation) noexcept;

// The picture of the file, with its colour profile applied, turned upright by its EXIF orientation;
// null when GDI+ cannot load it.
GdiPlusBitmap LoadUprightPicture(const wchar_t* path);

// The CLSID of the first GDI+ encoder of the container format; its index, or -1 (clsid zero).
int GetEncoderClsid(const GUID& format, CLSID& clsid) noexcept;

// True when the wallpaper was saved and applied. A file GDI+ cannot load leaves the unsupported-file
// text (in the language) as the thread's error information.
bool SetWallpaperFromFile(const wchar_t* path, LANGID language);
