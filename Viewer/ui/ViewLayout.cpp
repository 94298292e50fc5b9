#include "Viewer/ui/ViewLayout.h"
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

// Two ways of halving that differ at odd negative sizes, both part of where pictures land.
int ShiftHalf(int value) noexcept { return value >> 1; }
int DivHalf(int value) noexcept { return value / 2; }

int PercentOf(int scaled, int original) noexcept
{
    if (original == 0) return 100;
    return static_cast<int>(static_cast<float>(scaled) * 100.0f / static_cast<float>(original) + 0.5f);
}

// Keeps one axis of the source inside the picture, writing the correction back into the pan.
void ClampAxis(LONG& low, LONG& high, int& pan, int extent, bool overflows) noexcept
{
    if (pan == 0 || !overflows) return;
    if (low < 0) {
        pan -= low;
        high -= low;
        low = 0;
    }
    if (high > extent) {
        pan += extent - high;
        low -= high - extent;
        high = extent;
    }
}

void PanAndClamp(RECT& source, int width, int height, bool wide, bool tall, int& panX, int& panY) noexcept
{
    OffsetRect(&source, panX, panY);
    ClampAxis(source.left, source.right, panX, width, wide);
    ClampAxis(source.top, source.bottom, panY, height, tall);
}

void LayoutMagnifier(const ViewLayoutInput& in, ViewLayoutResult& out, int& panX, int& panY) noexcept
{
    const RECT& c = in.client;
    const int cw = c.right - c.left;
    const int ch = c.bottom - c.top;
    const float percent = static_cast<float>(in.magnifierPercent);
    const float zoomedWidth = static_cast<float>(in.width) * percent * 0.01f;
    const float zoomedHeight = static_cast<float>(in.height) * percent * 0.01f;
    out.zoomPercentage = static_cast<int>(in.magnifierPercent);

    RECT zoomed{0, 0, static_cast<LONG>(zoomedWidth), static_cast<LONG>(zoomedHeight)};
    OffsetRect(&zoomed, ShiftHalf(static_cast<int>(static_cast<float>(cw) - zoomedWidth)),
               ShiftHalf(static_cast<int>(static_cast<float>(ch) - zoomedHeight)));
    if (!IntersectRect(&out.destination, &c, &zoomed)) SetRectEmpty(&out.destination);

    const int sw = static_cast<int>(static_cast<float>(out.destination.right - out.destination.left) * 100.0f / percent);
    const int sh = static_cast<int>(static_cast<float>(out.destination.bottom - out.destination.top) * 100.0f / percent);
    RECT& s = out.source;
    s = {0, 0, sw, sh};
    OffsetRect(&s, ShiftHalf(in.width - sw), ShiftHalf(in.height - sh));
    if (s.left < 0) s.left = 0;
    if (s.top < 0) s.top = 0;
    if (s.right > in.width) s.right = in.width;
    if (s.bottom > in.height) s.bottom = in.height;

    const bool wide = zoomedWidth > static_cast<float>(cw);
    const bool tall = zoomedHeight > static_cast<float>(ch);
    if (!wide) panX = 0;
    if (!tall) panY = 0;
    PanAndClamp(s, in.width, in.height, wide, tall, panX, panY);
}

// One axis of a 1:1 layout: a picture narrower than the client is centred, a wider one is cut to
// the client from its middle.
void LayoutOneToOneAxis(int extent, LONG clientLow, int clientExtent, LONG& sourceLow, LONG& sourceHigh,
                        LONG& destinationLow, LONG& destinationHigh) noexcept
{
    if (extent <= clientExtent) {
        sourceLow = 0;
        sourceHigh = extent;
        destinationLow = clientLow + ShiftHalf(clientExtent - extent);
        destinationHigh = destinationLow + extent;
    } else {
        sourceLow = ShiftHalf(extent - clientExtent);
        sourceHigh = sourceLow + clientExtent;
    }
}

}  // namespace

int FitRectToBounds(const RECT& source, const RECT& bounds, RECT& destination, int& percentage) noexcept
{
    const int sw = source.right - source.left;
    const int sh = source.bottom - source.top;
    const int bw = bounds.right - bounds.left;
    const int bh = bounds.bottom - bounds.top;
    if (sw <= 0 || sh <= 0) {
        destination = {bounds.left, bounds.top, bounds.left, bounds.top};
        percentage = 100;
        return 1;
    }
    int left = bounds.left, top = bounds.top, width = bw, height = bh;
    if (static_cast<int64_t>(bw) * sh < static_cast<int64_t>(sw) * bh) {
        height = MulDiv(sh, bw, sw);
        if (std::abs(height - bh) == 1) height = bh;
        top = bounds.top + DivHalf(bh - height);
        percentage = PercentOf(height, sh);
    } else {
        width = MulDiv(sw, bh, sh);
        if (std::abs(width - bw) == 1) width = bw;
        left = bounds.left + DivHalf(bw - width);
        percentage = PercentOf(width, sw);
    }
    destination = {left, top, left + width, top + height};
    return 1;
}

ViewLayoutResult LayoutView(const ViewLayoutInput& in, int& panX, int& panY) noexcept
{
    ViewLayoutResult out;
    const RECT& c = in.client;
    out.destination = c;
    const int cw = c.right - c.left;
    const int ch = c.bottom - c.top;

    if (in.magnifier && in.magnifierPercent != 0) {
        LayoutMagnifier(in, out, panX, panY);
        return out;
    }
    const bool oneToOne = in.actualSize || in.leftZoom;
    const bool larger = in.width > cw || in.height > ch;
    const bool stretch = in.stretchSmall && !in.ownsPicture && !in.hasCaption;
    if (!oneToOne && (larger || stretch)) {
        out.source = {0, 0, in.width, in.height};
        FitRectToBounds(out.source, c, out.destination, out.zoomPercentage);
        if (!larger) {
            out.upscaled = out.destination.right - out.destination.left > in.width ||
                           out.destination.bottom - out.destination.top > in.height;
        }
        return out;
    }

    out.zoomPercentage = 100;
    LayoutOneToOneAxis(in.width, c.left, cw, out.source.left, out.source.right, out.destination.left,
                       out.destination.right);
    LayoutOneToOneAxis(in.height, c.top, ch, out.source.top, out.source.bottom, out.destination.top,
                       out.destination.bottom);
    if (!oneToOne) return out;
    if (in.width <= cw) panX = 0;
    if (in.height <= ch) panY = 0;
    PanAndClamp(out.source, in.width, in.height, in.width > cw, in.height > ch, panX, panY);
    return out;
}

namespace {

struct AnchorOffset {
    float dx, dy;  // the anchor from the rectangle's centre
    float rx, ry;  // picture pixels per destination pixel
};

AnchorOffset OffsetFrom(const RECT& r, POINT anchor, int width, int height) noexcept
{
    const int rw = r.right - r.left;
    const int rh = r.bottom - r.top;
    AnchorOffset o{};
    o.dx = static_cast<float>(anchor.x - DivHalf(r.left + r.right));
    o.dy = static_cast<float>(anchor.y - DivHalf(r.top + r.bottom));
    o.rx = rw != 0 ? static_cast<float>(width) / static_cast<float>(rw) : 1.0f;
    o.ry = rh != 0 ? static_cast<float>(height) / static_cast<float>(rh) : 1.0f;
    return o;
}

void MagnifyFrom(const RECT& r, const ZoomAnchorInput& in, int& panX, int& panY) noexcept
{
    const AnchorOffset o = OffsetFrom(r, in.anchor, in.width, in.height);
    const float q = static_cast<float>(in.magnifierPercent) * 0.01f;
    panX = static_cast<int>(o.dx * o.rx - o.dx / q);
    panY = static_cast<int>(o.dy * o.ry - o.dy / q);
}

}  // namespace

void CenterPanOnAnchor(const ZoomAnchorInput& in, const RECT& destination, RECT& saved, int& panX,
                       int& panY) noexcept
{
    const bool oneToOne = in.actualSize || in.leftZoom;
    // A magnifier of 0 % cannot be on; the caller never sets it, and no division by zero follows.
    const bool magnifier = in.magnifier && in.magnifierPercent != 0;
    if (!magnifier) {
        if (!oneToOne) {
            panX = panY = 0;
            return;
        }
        saved = destination;
        if (in.leftZoom && !in.actualSize) {
            const AnchorOffset o = OffsetFrom(destination, in.anchor, in.width, in.height);
            panX = static_cast<int>(o.dx * o.rx) - static_cast<int>(o.dx);
            panY = static_cast<int>(o.dy * o.ry) - static_cast<int>(o.dy);
        }
        return;
    }
    if (in.actualSize) {
        saved = destination;
        const AnchorOffset o = OffsetFrom(destination, in.anchor, in.width, in.height);
        const float q = static_cast<float>(in.magnifierPercent) * 0.01f;
        panX += static_cast<int>(o.dx - o.dx / q);
        panY += static_cast<int>(o.dy - o.dy / q);
    } else if (in.leftZoom) {
        MagnifyFrom(saved, in, panX, panY);
    } else {
        saved = destination;
        MagnifyFrom(destination, in, panX, panY);
    }
}

bool PictureCanPan(const ZoomAnchorInput& in, int clientWidth, int clientHeight) noexcept
{
    const auto cw = static_cast<unsigned>(clientWidth);
    const auto ch = static_cast<unsigned>(clientHeight);
    if ((in.actualSize || in.leftZoom) && (in.width > clientWidth || in.height > clientHeight)) return true;
    if (!in.magnifier) return false;
    const uint64_t p = in.magnifierPercent;
    return static_cast<uint64_t>(static_cast<unsigned>(in.width)) * p / 100 > cw ||
           static_cast<uint64_t>(static_cast<unsigned>(in.height)) * p / 100 > ch;
}
