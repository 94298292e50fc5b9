#include "Framework/Dialog.h"
#include "Framework/HResultError.h"
#include "Framework/ModalSeam.h"
#include "Framework/ResourceModule.h"

namespace {
thread_local DialogBase* t_creatingDialog = nullptr;

// Messages whose result a dialog procedure returns directly instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message)
{
    switch (message) {
    case WM_COMPAREITEM: case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_INITDIALOG: case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
        return true;
    default:
        return false;
    }
}
}

DialogBase::~DialogBase()
{
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        HWND dialog = m_hWnd;
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        m_hWnd = nullptr;
        ::DestroyWindow(dialog);
    }
}

BOOL DialogBase::DestroyWindow() noexcept
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

BOOL DialogBase::EndDialog(INT_PTR result) noexcept
{
    return m_hWnd ? ::EndDialog(m_hWnd, result) : FALSE;
}

INT_PTR DialogBase::DoModalFromTemplate(UINT templateId, HWND owner, LPARAM initParam)
{
    if (m_hWnd) return -1;
    m_modal = true;
    t_creatingDialog = this;
    INT_PTR result = RunModalDialog(GetResourceInstance(), templateId, owner, &StartDialogProc, initParam);
    t_creatingDialog = nullptr;
    m_hWnd = nullptr;
    return result;
}

HWND DialogBase::CreateFromTemplate(UINT templateId, HWND owner, LPARAM initParam)
{
    if (m_hWnd) return nullptr;
    m_modal = false;
    t_creatingDialog = this;
    HWND dialog = CreateDialogParamW(GetResourceInstance(), MAKEINTRESOURCEW(templateId), owner, &StartDialogProc,
                                     initParam);
    t_creatingDialog = nullptr;
    return dialog;
}

void DialogBase::Bind(HWND dialog)
{
    m_hWnd = dialog;
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(GetDialogProc()));
}

INT_PTR CALLBACK DialogBase::StartDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogBase* self = t_creatingDialog;
    if (!self) return FALSE;
    t_creatingDialog = nullptr;
    self->Bind(dialog);
    return DialogProc(dialog, message, wParam, lParam);
}

INT_PTR CALLBACK DialogBase::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<DialogBase*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self) return FALSE;

    LRESULT result = 0;
    BOOL handled = FALSE;
    try {
        handled = self->ProcessWindowMessage(dialog, message, wParam, lParam, result, 0);
    } catch (...) {
        TraceCaughtException(L"dialog procedure");
        handled = TRUE;
        result = 0;
    }

    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        self->m_hWnd = nullptr;
        self->OnFinalMessage(dialog);
        return FALSE;
    }
    if (!handled) return FALSE;
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}
