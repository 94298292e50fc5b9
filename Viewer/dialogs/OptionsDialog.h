#pragma once
// The one place where the user edits the viewer's persistent settings: a page chooser on the left
// and one of six or seven pages beside it, in the dark skin. OK, Cancel, Escape and the close box all
// apply and store every setting. Five settings that take effect only at the next start are read
// from the registry when the dialog opens and written back from the dialog's own copies.
#include "Framework/Dialog.h"
#include "Framework/NotificationReflection.h"
#include "Framework/RegKey.h"
#include "Framework/UniqueGdiObject.h"
#include "Viewer/dialogs/ColorProfileScan.h"
#include "Viewer/dialogs/DialogButtonImages.h"
#include "Viewer/dialogs/DialogSkin.h"
#include "Viewer/dialogs/OptionsChoices.h"
#include "Viewer/dialogs/OptionsPage.h"
#include "Viewer/dialogs/OwnerDrawList.h"
#include "Viewer/dialogs/PageHost.h"
#include "Viewer/dialogs/UpdateCheckNow.h"
#include <gdiplus.h>
#include <memory>
#include <vector>

struct ActionPlugInRecord;

// What the dialog needs from the program around it.
struct OptionsServices {
    SkinImageLoader loadSkinImage;
    UpdateCheck checkForUpdate = CheckTheMakersFeed;
    ProfileEnumerator enumerateProfiles = EnumerateMonitorProfiles;
    const std::vector<ActionPlugInRecord>* plugIns = nullptr;  // null: the process-wide list
};

// The five values that take effect only at the next start.
struct RestartSettings {
    DWORD DisableHWA = 1;
    DWORD DisableSMP = 1;
    DWORD EnableICC = 0;
    DWORD OverrideTargetProfile = 0;
    DWORD MultiSampling = 0;
    bool operator==(const RestartSettings&) const = default;
};

class CDisplayOptionsPage : public COptionsPage { public: CDisplayOptionsPage(); };
class CMouseOptionsPage : public COptionsPage { public: CMouseOptionsPage(); };
class CRatingOptionsPage : public COptionsPage { public: CRatingOptionsPage(); };
class CFileOptionsPage : public COptionsPage { public: CFileOptionsPage(); };
class CPlugInsOptionsPage : public COptionsPage { public: CPlugInsOptionsPage(); };
class CGeneralOptionsPage : public COptionsPage { public: CGeneralOptionsPage(); };
class CPerformanceOptionsPage : public COptionsPage { public: CPerformanceOptionsPage(); };

class COptionsDialog : public DialogImpl<COptionsDialog> {
public:
    enum { IDD = 108 };
    enum ControlId : WORD {
        PageChooser = 1056,
        PageHostControl = 1057,
        CheckNowLink = 1035,
        PlugInList = 1074,
        GeneralPageTemplate = 111,
    };
    // The message the profile scan sends when it has found the installed profiles.
    static constexpr UINT ProfilesFound = WM_APP + 0x161;

    BEGIN_MESSAGE_MAP(COptionsDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnColorStatic)
        MESSAGE_HANDLER(ProfilesFound, OnProfilesFound)
        COMMAND_ID_HANDLER(IDOK, OnClose)
        COMMAND_ID_HANDLER(IDCANCEL, OnClose)
        COMMAND_HANDLER(PageChooser, LBN_SELCHANGE, OnPageSelected)
        REFLECT_NOTIFICATIONS()
    END_MESSAGE_MAP()

    explicit COptionsDialog(OptionsServices services = {});
    ~COptionsDialog() override;

    // Whether the close showed the notice that some changes take effect at the next start.
    bool RestartNoticeShown() const noexcept { return m_restartNoticeShown; }

    // The rules that tie the controls together; run after every change of a control others depend on.
    void UpdateControlStates();
    void CheckForUpdatesNow(HWND page);
    void OnPlugInSelected();

    // The pages in chooser order.
    enum PageKind { Display, Mouse, Rating, File, PlugIns, General, Performance, PageKinds };

private:

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnColorStatic(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnProfilesFound(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(WORD, WORD id, HWND, BOOL&);
    LRESULT OnPageSelected(WORD, WORD, HWND, BOOL&);

    COptionsPage& Page(PageKind kind) noexcept { return *m_pages[kind]; }
    const std::vector<ActionPlugInRecord>& PlugInRecords() const noexcept;
    bool PageExists(PageKind kind) const noexcept { return kind != PlugIns || m_hasPlugIns; }

    void ReadRestartSettings();
    void PrepareBackground();
    void PrepareChooser();
    void CreatePages();
    void FillControls();
    void ShowSettings();
    void ReadControls();
    RestartSettings RestartSettingsShown() const noexcept;
    void StoreSettings(bool forcedProfile);
    void StoreTargetProfile(RegKey& key, const RestartSettings& shown);
    void SaveSettings(WORD id);

    // The rules, each for its group of controls.
    void ApplyColourRules();
    void ApplyMagnifierRules();
    void ApplySliderRules(PageKind kind, WORD box, const OptionsChoices::SliderRange& slider, DWORD& value,
                          WORD dependentBox);
    void ApplyLabellingRules();
    void ApplyStorageRules();
    void ApplySortCaptionRule();
    void ApplyBoxListRules(PageKind kind, WORD box, WORD list, DWORD& value, UINT placeholder, int firstChoice);

    OptionsServices m_services;
    std::unique_ptr<Gdiplus::Bitmap> m_background;
    std::unique_ptr<Gdiplus::Bitmap> m_selectionImage;
    CDialogButtonImages m_buttonImages;
    CSkinImageButton m_okButton;
    UniqueGdiObject<HFONT> m_chooserFont;
    UniqueGdiObject<HFONT> m_chooserBoldFont;
    COwnerDrawList m_chooser;
    CPageHost m_host;
    CDisplayOptionsPage m_display;
    CMouseOptionsPage m_mouse;
    CRatingOptionsPage m_rating;
    CFileOptionsPage m_file;
    CPlugInsOptionsPage m_plugIns;
    CGeneralOptionsPage m_general;
    CPerformanceOptionsPage m_performance;
    COptionsPage* m_pages[PageKinds];
    RestartSettings m_openedWith;
    bool m_updateCheck = false;
    bool m_hasPlugIns = false;
    bool m_restartNotice = false;
    bool m_restartNoticeShown = false;
    bool m_hardwareAccelerationSwitchedOn = false;
    bool m_closing = false;
    bool m_profilesShown = false;  // the profile list holds the scan's result  // from here on the profile scan's result is not shown
    std::vector<std::wstring> m_profileFiles;  // the profile list's file names; item data = index + 1
    ColorProfileScan m_profileScan;
};
