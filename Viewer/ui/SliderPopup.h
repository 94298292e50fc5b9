#pragma once
// The navigation slider: a small skinned popup at the view's lower right corner holding one vertical
// trackbar over the whole image list. Dragging the thumb previews which picture lies there; releasing
// it, a click in the channel or the keys move the frame there (message WM_APP_SLIDER_NAVIGATE).
#include "Framework/Bstr.h"
#include "Framework/Dialog.h"
#include "Viewer/core/NumberFormat.h"
#include "Viewer/ui/InfoText.h"
#include <array>
#include <cstdint>
#include <memory>
#include <gdiplus.h>

// Trackbar page size for a list: a tenth of it, 1 to 100.
int SliderPageSize(int count) noexcept;
// The popup's height: the stored one, else the skin's (its three heights, 0 for a missing image) when
// below 246, else 245; then no more than limit when limit is not negative.
int SliderHeight(int stored, const std::array<int, 3>& skinHeights, int limit) noexcept;
// The folder line of a preview: "C:\" for a drive's root, else the name of the folder holding the file.
std::wstring PreviewFolder(const std::wstring& path);

class CSliderPopup : public DialogImpl<CSliderPopup> {
public:
    enum { IDD = 117 };
    enum : int { ID_TRACKBAR = 1112, ID_FOCUS = 1114 };
    static constexpr UINT WM_HIDE_PREVIEW = WM_USER + 1;
    static constexpr WPARAM kReleaseByName = 0x80000004;

    BEGIN_MESSAGE_MAP(CSliderPopup)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_NCHITTEST, OnNcHitTest)
        MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorStatic)
        MESSAGE_HANDLER(WM_VSCROLL, OnScroll)
        MESSAGE_HANDLER(WM_HIDE_PREVIEW, OnHidePreview)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MESSAGE_MAP()

    CSliderPopup();
    ~CSliderPopup() override;

    void SetRangeAndPosition(int count, int position);
    int GetPreferredWidth() const noexcept;
    int GetPreferredHeight() const noexcept;
    // Fills the preview beside the thumb for the picture at position; a null path hides it.
    void ShowPreview(const wchar_t* path, const FILETIME* sortTime, uint32_t position, uint32_t count,
                     uint16_t pageIndex, uint16_t pageCount);
    // Forgets the previewed picture and fades its window out.
    void EndPreview();
    CInfoText& Preview() noexcept { return m_preview; }
    HWND Trackbar() const noexcept { return m_trackbar; }
    bool IsDragging() const noexcept { return m_dragging; }

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNcHitTest(UINT, WPARAM, LPARAM point, BOOL&);
    LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM info, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnPaint(UINT message, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnCtlColorStatic(UINT, WPARAM dc, LPARAM control, BOOL&);
    LRESULT OnScroll(UINT, WPARAM code, LPARAM, BOOL&);
    LRESULT OnHidePreview(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);

    void DrawBackground(HDC dc);
    void LayoutTrackbar();
    void EndDrag();
    int FrameClientHeight() const noexcept;
    LRESULT ToFrame(bool send, WPARAM code, LPARAM value) const;

    HWND m_trackbar = nullptr;
    CInfoText m_preview;
    NumberFormatRecord m_numbers;
    HBRUSH m_trackbarBrush = nullptr;
    std::array<std::unique_ptr<Gdiplus::Bitmap>, 3> m_skin;  // top, middle, bottom
    int m_storedHeight = 0;
    int m_shownCount = -1;
    int m_shownPosition = -1;
    bool m_dragging = false;
    bool m_pageDownLatch = false;
    bool m_pageUpLatch = false;
    bool m_thumbReleaseBusy = false;
    bool m_listChangedWhileDragging = false;
    Bstr m_previewName;
};
