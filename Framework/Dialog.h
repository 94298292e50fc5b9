#pragma once
// Dialogs with message maps, created from templates of the resource module (the language library).
// Modal dialogs run through the modal seam, so that tests answer them instead of a user.
#include "Framework/MessageMap.h"

class DialogBase : public MessageMapHost {
public:
    DialogBase() = default;
    DialogBase(const DialogBase&) = delete;
    DialogBase& operator=(const DialogBase&) = delete;
    // Destroying the object of a modeless dialog that still exists destroys the dialog first.
    virtual ~DialogBase();
    virtual DLGPROC GetDialogProc() { return &DialogProc; }
    virtual void OnFinalMessage(HWND) {}

    HWND Handle() const noexcept { return m_hWnd; }
    bool IsWindow() const noexcept { return m_hWnd && ::IsWindow(m_hWnd); }
    BOOL DestroyWindow() noexcept;
    // Ends a modal dialog with the given result.
    BOOL EndDialog(INT_PTR result) noexcept;

    HWND m_hWnd = nullptr;

protected:
    INT_PTR DoModalFromTemplate(UINT templateId, HWND owner, LPARAM initParam);
    HWND CreateFromTemplate(UINT templateId, HWND owner, LPARAM initParam);

    static INT_PTR CALLBACK StartDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Bind(HWND dialog);
    bool m_modal = false;
};

// A dialog whose class names its template with `enum { IDD = n };`.
template <class T>
class DialogImpl : public DialogBase {
public:
    INT_PTR DoModal(HWND owner = GetActiveWindow(), LPARAM initParam = 0)
    {
        return DoModalFromTemplate(T::IDD, owner, initParam);
    }
    HWND Create(HWND owner, LPARAM initParam = 0) { return CreateFromTemplate(T::IDD, owner, initParam); }
};
