#pragma once
// Records every message box of its scope instead of showing it, and answers each with one button.
#include "Framework/ModalSeam.h"
#include <string>
#include <vector>

struct MessageBoxCall {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
};

class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(int answer = IDOK)
        : m_seam(ModalSeam{[this, answer](HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
              calls.push_back({owner, text, caption, type});
              return answer;
          }})
    {
    }

    std::vector<MessageBoxCall> calls;

private:
    ScopedModalSeam m_seam;
};
