#pragma once
// The memory painting of the skinned controls: a 32-bit bitmap of the painted size in its own device
// context, blended onto the target at the end (AlphaBlit) so that per-pixel alpha shows through.
#include <windows.h>

class CSkinPaintBuffer {
public:
    // A buffer for the rectangle of target; Dc() is null when it could not be made.
    CSkinPaintBuffer(HDC target, const RECT& area) noexcept;
    CSkinPaintBuffer(const CSkinPaintBuffer&) = delete;
    CSkinPaintBuffer& operator=(const CSkinPaintBuffer&) = delete;
    ~CSkinPaintBuffer();

    HDC Dc() const noexcept { return m_dc; }
    // Blends the buffer onto the target (constant alpha 255, source alpha); where blending fails,
    // copies it. Then frees the buffer.
    void AlphaBlit() noexcept;

private:
    void Release() noexcept;

    HDC m_target;
    RECT m_area;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
};
