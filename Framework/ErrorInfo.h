#pragma once
// The thread's COM error information: how a failing COM-style call leaves its text for the caller,
// which shows it in a message box.
#include <string>
#include <string_view>

// Sets a new error information object with this description (and the source, usually a ProgID,
// when one is given) on the thread.
void SetErrorDescription(std::wstring_view description, const wchar_t* source = nullptr) noexcept;

// Takes the thread's error information (clearing it) and returns its description; empty when
// there is none.
std::wstring TakeErrorDescription();
