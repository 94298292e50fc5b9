#include "Framework/Dialog.h"
#include "Framework/ModalSeam.h"
#include "Framework/ResourceModule.h"
#include "tests/framework/resources/FrameworkTestResources.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>

namespace {
class TestDialog : public DialogImpl<TestDialog> {
public:
    enum { IDD = IDD_TEST_DIALOG };
    BEGIN_MESSAGE_MAP(TestDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_CTLCOLOREDIT, OnColorEdit)
        COMMAND_ID_HANDLER(IDOK, OnOk)
    END_MESSAGE_MAP()

    LPARAM initParam = 0;
    int okCount = 0;
    HWND finalWindow = nullptr;
    void OnFinalMessage(HWND window) override { finalWindow = window; }

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        initParam = lParam;
        SetDlgItemTextW(m_hWnd, IDC_TEST_EDIT, L"Set by the dialog");
        return TRUE;
    }
    LRESULT OnColorEdit(UINT, WPARAM, LPARAM, BOOL&) { return reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH)); }
    LRESULT OnOk(WORD, WORD, HWND, BOOL&) { ++okCount; return 0; }
};

class DataLibrary {
public:
    DataLibrary()
        : module(LoadLibraryExW((TestProgramFolder() + L"\\framework_test_resources.dll").c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE)),
          previous(SetResourceInstance(module))
    {
    }
    ~DataLibrary()
    {
        SetResourceInstance(previous);
        if (module) FreeLibrary(module);
    }
    HMODULE module;
    HINSTANCE previous;
};
}

TEST(Dialog, ModelessDialogFromADataLibraryTemplate)
{
    DataLibrary library;
    ASSERT_TRUE(library.module);
    TestDialog dialog;
    HWND hwnd = dialog.Create(nullptr, 1234);
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(1234, dialog.initParam);

    wchar_t text[64]{};
    GetDlgItemTextW(hwnd, IDC_TEST_EDIT, text, 64);
    EXPECT_STREQ(L"Set by the dialog", text);
    GetWindowTextW(hwnd, text, 64);
    EXPECT_STREQ(L"Framework dialog", text);

    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(1, dialog.okCount);
    // A brush is the dialog procedure's direct result, not a DWLP_MSGRESULT.
    HDC dc = GetDC(hwnd);
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH)),
              SendMessageW(hwnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), 0));
    ReleaseDC(hwnd, dc);

    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_EQ(hwnd, dialog.finalWindow);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

TEST(Dialog, ModalDialogGoesThroughTheSeamWithItsTemplate)
{
    UINT seenTemplate = 0;
    ScopedModalSeam seam({.modalDialog = [&](HINSTANCE, UINT templateId, HWND, DLGPROC, LPARAM) -> INT_PTR {
        seenTemplate = templateId;
        return IDCANCEL;
    }});
    TestDialog dialog;
    EXPECT_EQ(IDCANCEL, dialog.DoModal(nullptr));
    EXPECT_EQ(static_cast<UINT>(IDD_TEST_DIALOG), seenTemplate);
}

TEST(Dialog, ModalDialogEndsWithItsResult)
{
    // Real modal loop: the dialog ends itself from a posted command.
    DataLibrary library;
    class EndingDialog : public DialogImpl<EndingDialog> {
    public:
        enum { IDD = IDD_TEST_DIALOG };
        BEGIN_MESSAGE_MAP(EndingDialog)
            MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
            COMMAND_ID_HANDLER(IDOK, OnOk)
        END_MESSAGE_MAP()
        LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) { PostMessageW(m_hWnd, WM_COMMAND, IDOK, 0); return TRUE; }
        LRESULT OnOk(WORD, WORD, HWND, BOOL&) { EndDialog(77); return 0; }
    } dialog;
    EXPECT_EQ(77, dialog.DoModal(nullptr));
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}
