#pragma once
// The small modal dialog in which the user picks the prefix of new bookmark names: none, one of up
// to three folder names taken from the picture's path, or a text of their own, with a preview of the
// names it makes. The choice is remembered in "BookmarkPrefixesStyle" and "CustomBookmarkPrefix",
// but only when the user touched a control. It wears the dark skin: with visual styles active its
// radio buttons and preview are drawn over the background picture.
#include "Viewer/dialogs/DarkDialog.h"
#include "Viewer/dialogs/ThemedCaptionButton.h"
#include "Viewer/dialogs/ThemedRadioButton.h"
#include "Viewer/engine/BookmarkPrefix.h"
#include <array>
#include <string>
#include <vector>

class CPrefixDialog : public CDarkDialog<CPrefixDialog> {
public:
    enum { IDD = 123 };
    enum ControlId : WORD {
        IDC_PREFIX_NONE = 1990,
        IDC_PREFIX_CUSTOM = 1994,
        IDC_CUSTOM_PREFIX = 1134,
        IDC_PREFIX_PREVIEW = 1135,
    };
    // Characters of the custom text.
    static constexpr int CustomPrefixLimit = 24;

    BEGIN_MESSAGE_MAP(CPrefixDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_RANGE_HANDLER(IDC_PREFIX_NONE, IDC_PREFIX_CUSTOM, OnStyleClicked)
        COMMAND_HANDLER(IDC_CUSTOM_PREFIX, EN_CHANGE, OnCustomChanged)
        COMMAND_ID_HANDLER(IDOK, OnClose)
        COMMAND_ID_HANDLER(IDCANCEL, OnClose)
        CHAIN_MESSAGE_MAP(CDarkDialog<CPrefixDialog>)
    END_MESSAGE_MAP()

    // The request's prefix holds the choice shown when the dialog ends.
    explicit CPrefixDialog(BookmarkPrefixRequest& request, SkinImageLoader loader = {});

    // The style of the checked radio button; none checked counts as no prefix.
    DWORD GetPrefixStyle() const;

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnStyleClicked(WORD code, WORD id, HWND, BOOL& handled);
    LRESULT OnCustomChanged(WORD, WORD, HWND, BOOL&);
    LRESULT OnClose(WORD, WORD id, HWND, BOOL&);

    void SkinChoices();
    void UpdatePrefixPreview();
    void SavePrefixSettings();

    BookmarkPrefixRequest& m_request;
    std::vector<std::wstring> m_candidates;
    std::wstring m_custom;
    bool m_changed = false;
    std::array<CThemedRadioButton, PrefixCustom + 1> m_styleButtons;
    CThemedCaptionButton m_preview;
};
