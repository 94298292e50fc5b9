#pragma once
// Where the picture goes in the view: which picture pixels (the source) are drawn into which client
// pixels (the destination), at what zoom, and how far the picture is panned. Pure arithmetic, so
// that every mode can be checked without a window.
#include <windows.h>

// The largest rectangle of the source's aspect inside the bounds, centred on the free axis. A
// result one pixel short of the bounds is snapped to them, so rounding never leaves a hairline.
// An empty source gives an empty destination at the bounds' corner and 100 %.
int FitRectToBounds(const RECT& source, const RECT& bounds, RECT& destination, int& percentage) noexcept;

struct ViewLayoutInput {
    int width = 0;  // the picture's
    int height = 0;
    RECT client{};
    bool actualSize = false;
    bool leftZoom = false;
    bool magnifier = false;
    unsigned magnifierPercent = 0;  // 0: no magnifier
    bool stretchSmall = false;
    bool ownsPicture = false;
    bool hasCaption = false;
};

struct ViewLayoutResult {
    RECT source{};
    RECT destination{};
    int zoomPercentage = 100;
    bool upscaled = false;
};

// Lays the picture out and clamps the pan offsets in place, so that a drag past an edge never
// builds up an excess that has to be dragged back.
ViewLayoutResult LayoutView(const ViewLayoutInput& input, int& panX, int& panY) noexcept;

// The pan that keeps the picture point under the anchor (client coordinates) in place when a zoom
// starts or ends. saved is the destination kept from an earlier state (the fit rectangle of a left
// zoom); it is updated as the state change requires.
struct ZoomAnchorInput {
    POINT anchor{};
    int width = 0;  // the picture's
    int height = 0;
    bool actualSize = false;
    bool leftZoom = false;
    bool magnifier = false;
    unsigned magnifierPercent = 0;
};
void CenterPanOnAnchor(const ZoomAnchorInput& input, const RECT& destination, RECT& saved, int& panX,
                       int& panY) noexcept;

// Whether the picture, at the size the mode shows it, overflows the client: then it can be dragged.
bool PictureCanPan(const ZoomAnchorInput& input, int clientWidth, int clientHeight) noexcept;
