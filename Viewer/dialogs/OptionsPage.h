#pragma once
// One page of the options dialog: a modeless child dialog in the dialog's page host that paints the
// part of the dialog's background lying under it, skins its check boxes, and hands every change of
// a control that other controls depend on to the dialog's rules.
#include "Framework/Dialog.h"
#include "Framework/NotificationReflection.h"
#include "Framework/UniqueGdiObject.h"
#include "Viewer/dialogs/HyperLink.h"
#include "Viewer/dialogs/SkinButton.h"
#include <gdiplus.h>
#include <memory>
#include <span>
#include <vector>

class COptionsDialog;

struct OptionsPageLayout {
    UINT templateId;
    UINT titleString;
    UINT subtitleString;
    std::span<const WORD> checkBoxes;
    std::span<const WORD> clickRules;      // BN_CLICKED from these runs the dialog's rules
    std::span<const WORD> selectionRules;  // and CBN_SELCHANGE from these
    WORD trackbar;                         // drawn over the page's solid brush; 0: none
    std::span<const WORD> paintedStatics;  // statics whose texts change: the picture is repainted under them
};

class COptionsPage : public DialogBase {
public:
    BEGIN_MESSAGE_MAP(COptionsPage)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_PRINTCLIENT, OnEraseBackground)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnColorStatic)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
        REFLECT_NOTIFICATIONS()
    END_MESSAGE_MAP()

    explicit COptionsPage(const OptionsPageLayout& layout) noexcept : m_layout(layout) {}

    const OptionsPageLayout& Layout() const noexcept { return m_layout; }
    // Creates the page as a hidden child of the host.
    HWND Create(HWND host, COptionsDialog* owner, Gdiplus::Image* background);
    // Subclasses every check box of the page as a skinned one (only while visual styles are active).
    void SkinCheckBoxes();
    // Makes a static control of the page a link-style command button.
    void MakeLink(WORD control, const std::wstring& text, COLORREF background);

    HWND Item(int id) const noexcept { return GetDlgItem(m_hWnd, id); }
    bool IsChecked(int id) const noexcept { return IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; }
    void Check(int id, bool checked) const noexcept
    {
        CheckDlgButton(m_hWnd, id, checked ? BST_CHECKED : BST_UNCHECKED);
    }
    void Enable(int id, bool enabled) const noexcept { EnableWindow(Item(id), enabled ? TRUE : FALSE); }
    void Show(int id, bool shown) const noexcept { ShowWindow(Item(id), shown ? SW_SHOW : SW_HIDE); }

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnColorStatic(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCommand(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNotify(UINT, WPARAM, LPARAM, BOOL&);

    HWND OwnerDialog() const noexcept;

    OptionsPageLayout m_layout;
    COptionsDialog* m_owner = nullptr;
    Gdiplus::Image* m_background = nullptr;
    std::vector<std::unique_ptr<CSkinButton>> m_checkBoxes;
    std::vector<std::unique_ptr<CHyperLink>> m_links;
    UniqueGdiObject<HBRUSH> m_trackbarBrush;
};
