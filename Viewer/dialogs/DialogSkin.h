#pragma once
// The dark look that every dialog of the viewer shares: a background picture instead of the system
// dialog colour, light grey static texts drawn transparently over it, the Segoe UI family of fonts,
// and child controls that show the part of the picture lying under them.
#include <windows.h>
#include <gdiplus.h>
#include <functional>
#include <memory>

inline constexpr COLORREF SkinTextColor = RGB(192, 192, 192);
inline constexpr COLORREF SkinDisabledTextColor = RGB(160, 160, 160);

// Loads a skin image by number; the frame passes its loader in (null or an empty result: no image).
using SkinImageLoader = std::function<std::unique_ptr<Gdiplus::Bitmap>(UINT id)>;

// WM_ERASEBKGND of a dark dialog: the picture unscaled at the client origin (nothing without one).
LRESULT EraseWithPicture(HDC dc, Gdiplus::Image* picture) noexcept;
// WM_CTLCOLORSTATIC of a dark dialog: grey text, lighter when the control is enabled, transparent.
LRESULT ColorStaticText(HDC dc, HWND control) noexcept;
// A font of the dialog face ("Segoe UI", or "MS Shell Dlg" before Vista) of tenths of a point.
HFONT CreateSkinFont(HWND window, int tenthsOfPoint, int weight) noexcept;
// A copy of the control's font (or the default GUI font) with another weight, or its own weight with
// KeepFontWeight, underlined or not.
inline constexpr int KeepFontWeight = -1;
HFONT CreateFontVariant(HWND control, int weight, bool underline = false) noexcept;
// Paints, at the control's client origin, the part of the owner's picture that lies under the control.
void PaintPictureUnder(HWND control, HWND owner, Gdiplus::Image* picture, HDC dc) noexcept;
// The picture stretched (high-quality bicubic) to the dialog's client size plus one pixel each way,
// in a bitmap of the client size; null without an image.
std::unique_ptr<Gdiplus::Bitmap> RenderDialogBackground(HWND dialog, Gdiplus::Image* image);
// Centres a window on its owner, or on its monitor's work area when it has no visible owner.
void CenterOnOwner(HWND window) noexcept;

// A memory device context with a bitmap of a given size that is copied to its target at the end.
class MemoryCanvas {
public:
    MemoryCanvas(HDC target, int width, int height) noexcept;
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;
    ~MemoryCanvas();

    HDC Dc() const noexcept { return m_dc; }
    // One SRCCOPY of the whole canvas to the target at (x, y).
    void CopyTo(HDC target, int x, int y) const noexcept;

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_previous;
    int m_width;
    int m_height;
};
