#pragma once
// The two lines an editor's row shows, from the program's version resource: its product name (else
// its file name without extension), then its maker, else its description, else its version.
#include <string>

struct EditorRowText {
    std::wstring title;
    std::wstring detail;
};

EditorRowText MakeEditorRowText(const std::wstring& programPath);
