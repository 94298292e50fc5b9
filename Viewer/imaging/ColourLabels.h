#pragma once
// Colour labels: files hold a colour name, the viewer a small number whose colour depends on the
// labelling convention (0: five labels, 1 and 2: nine each; any other value counts as 0).
#include <windows.h>

// The name written for a label number; "" when the number has no label in that convention.
const wchar_t* GetLabelName(int number, int convention) noexcept;

// The label number of a name or digit read from a file under the current labelling convention, or -1.
int ParseLabelName(const wchar_t* text) noexcept;

// Range checks for rating words read from a file: n (as an unsigned 16-bit value) itself when in range, else -1.
int IsValidLabelIndex5(int n) noexcept;
int IsValidLabelIndex9(int n) noexcept;
int IsValidLabelIndex(int n, int nine) noexcept;
