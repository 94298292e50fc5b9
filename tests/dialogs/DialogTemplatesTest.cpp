#include "Framework/ResourceModule.h"
#include "tests/support/ScopedResourceModule.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <string>
#include <vector>

namespace {
INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

struct Control {
    int id;
    const wchar_t* windowClass;
};

struct Template {
    UINT id;
    bool page;  // a child dialog of the options dialog's page host
    std::vector<Control> controls;
};

constexpr wchar_t kButton[] = L"Button";
constexpr wchar_t kStatic[] = L"Static";
constexpr wchar_t kCombo[] = L"ComboBox";
constexpr wchar_t kTrackbar[] = L"msctls_trackbar32";

std::vector<Control> Boxes(std::initializer_list<int> ids)
{
    std::vector<Control> controls;
    for (int id : ids) controls.push_back({id, kButton});
    return controls;
}

std::vector<Control> Joined(std::vector<Control> first, std::initializer_list<Control> more)
{
    first.insert(first.end(), more);
    return first;
}

const std::vector<Template>& Templates()
{
    static const std::vector<Template> templates{
        {104, false, {{1017, kStatic}, {1018, kStatic}, {1036, kStatic}, {1039, kStatic}, {1020, kButton}, {IDOK, kButton}}},
        {106, false, {{1037, kStatic}, {1040, kStatic}, {1041, kStatic}, {IDOK, kButton}}},
        {108, false, {{1056, L"ListBox"}, {1057, kStatic}, {IDOK, kButton}}},
        {109, true, Joined(Boxes({1027, 1029, 1094, 1031, 1047, 1049, 1048}), {{1093, kCombo}})},
        {112, true,
         Joined(Boxes({1043, 1132, 1060, 1053, 1115, 1050}),
                {{1059, kCombo}, {1058, kTrackbar}, {1065, kStatic}, {1113, kCombo}})},
        {110, true, Joined(Boxes({1042, 1045, 1054, 1063, 1049, 1051, 1052}), {{1062, kCombo}})},
        {113, true, Boxes({1046, 1064, 1067, 1052, 1055, 1038, 1061})},
        {115, true,
         {{1074, L"SysListView32"}, {1075, kStatic}, {1076, kStatic}, {1071, L"msctls_hotkey32"}, {1077, kButton},
          {1078, kStatic}}},
        {111, true,
         Joined(Boxes({1032, 1048, 1086, 1090, 1091, 1092, 1095, 1103, 1104, 1107, 1102, 1106, 1110}),
                {{1035, kStatic}, {1126, kCombo}})},
        {118, true, Joined(Boxes({1120, 1028, 1122}), {{1123, kTrackbar}, {1124, kStatic}, {1117, kCombo}})},
    };
    return templates;
}
}

TEST(DialogTemplates, EachTemplateHoldsEveryControlTheCodeNamesWithItsClass)
{
    const ScopedResourceModule library(L"Lumenfold.Core.EN.dll");
    ASSERT_TRUE(library.Loaded());
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    HWND host = CreateWindowExW(0, L"STATIC", nullptr, WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    for (const Template& tested : Templates()) {
        HWND dialog = CreateDialogParamW(GetResourceInstance(), MAKEINTRESOURCEW(tested.id), tested.page ? host : nullptr,
                                         &PlainDialogProc, 0);
        ASSERT_TRUE(dialog) << "template " << tested.id;
        if (tested.page) EXPECT_TRUE(GetWindowLongPtrW(dialog, GWL_STYLE) & WS_CHILD) << tested.id;
        for (const Control& control : tested.controls) {
            HWND window = GetDlgItem(dialog, control.id);
            ASSERT_TRUE(window) << "template " << tested.id << " control " << control.id;
            wchar_t name[64]{};
            GetClassNameW(window, name, 64);
            EXPECT_EQ(0, lstrcmpiW(name, control.windowClass)) << "template " << tested.id << " control " << control.id;
        }
        DestroyWindow(dialog);
    }
    DestroyWindow(host);
}
