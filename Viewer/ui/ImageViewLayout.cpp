#include "Viewer/core/AppSettings.h"
#include "Viewer/ui/ImageView.h"
#include "Viewer/ui/ViewLayout.h"

namespace {

ZoomAnchorInput ZoomState(const CImageView& view, POINT anchor) noexcept
{
    ZoomAnchorInput state;
    state.anchor = anchor;
    state.width = view.ImageWidth();
    state.height = view.ImageHeight();
    state.actualSize = view.IsActualSize();
    state.leftZoom = view.IsLeftZoom();
    state.magnifier = view.IsMagnifier();
    state.magnifierPercent = AppSettings::RightClickMagnifier;
    return state;
}

}  // namespace

void CImageView::LayoutImage(RECT& source, const RECT& client, bool& upscaled)
{
    ViewLayoutInput input;
    input.width = m_imageWidth;
    input.height = m_imageHeight;
    input.client = client;
    input.actualSize = m_actualSize;
    input.leftZoom = m_leftZoom;
    input.magnifier = m_magnifier;
    input.magnifierPercent = AppSettings::RightClickMagnifier;
    input.stretchSmall = AppSettings::StretchSmallImages != 0;
    input.ownsPicture = m_ownsPicture;
    input.hasCaption = m_caption.Get() != nullptr;
    const ViewLayoutResult result = LayoutView(input, m_panX, m_panY);
    source = result.source;
    upscaled = result.upscaled;
    m_destination = result.destination;
    m_zoomPercentage = result.zoomPercentage;
}

void CImageView::CenterZoomOnAnchor()
{
    POINT anchor = m_dragAnchor;
    if (IsWindow()) ScreenToClient(m_hWnd, &anchor);
    CenterPanOnAnchor(ZoomState(*this, anchor), m_destination, m_savedDestination, m_panX, m_panY);
}

void CImageView::UpdateCursor()
{
    if (!IsWindow()) return;
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const bool canPan = PictureCanPan(ZoomState(*this, m_dragAnchor), client.right, client.bottom);
    HCURSOR cursor = LoadCursorW(nullptr, canPan ? IDC_SIZEALL : IDC_ARROW);
    SetClassLongPtrW(m_hWnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
    SetCursor(cursor);
}
