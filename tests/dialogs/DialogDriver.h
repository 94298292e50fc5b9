#pragma once
// Runs a "modal" dialog as a modeless one that the test drives itself, then ends it; records the
// pages opened with the shell and the message boxes on the way.
#include "Framework/ModalSeam.h"
#include <functional>
#include <string>
#include <vector>

struct ShellOpen {
    std::wstring verb;
    std::wstring file;
};

struct ShownMessage {
    std::wstring text;
    std::wstring caption;
    UINT type;
};

class DialogDriver {
public:
    explicit DialogDriver(std::function<void(HWND dialog)> drive, int messageAnswer = IDOK)
        : m_seam(ModalSeam{
              .messageBox =
                  [this, messageAnswer](HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
                      messages.push_back({text, caption, type});
                      return messageAnswer;
                  },
              .modalDialog =
                  [this](HINSTANCE module, UINT templateId, HWND owner, DLGPROC procedure, LPARAM initParam) {
                      templates.push_back(templateId);
                      HWND dialog = CreateDialogParamW(module, MAKEINTRESOURCEW(templateId), owner, procedure,
                                                       initParam);
                      if (!dialog) return INT_PTR{-1};
                      ShowWindow(dialog, SW_SHOW);
                      m_drive(dialog);
                      DestroyWindow(dialog);
                      return INT_PTR{IDOK};
                  },
              .openWithShell =
                  [this](HWND, const wchar_t* verb, const wchar_t* file, const wchar_t*, const wchar_t*, int) {
                      opened.push_back({verb, file});
                      return reinterpret_cast<HINSTANCE>(INT_PTR{42});
                  }}),
          m_drive(std::move(drive))
    {
    }

    std::vector<UINT> templates;
    std::vector<ShellOpen> opened;
    std::vector<ShownMessage> messages;

private:
    ScopedModalSeam m_seam;
    std::function<void(HWND)> m_drive;
};

// Delivers the messages posted to this thread's windows until none is left.
inline void PumpPostedMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
