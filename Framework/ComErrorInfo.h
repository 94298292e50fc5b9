#pragma once
// COM error information: a method that fails leaves a description of the failure for its caller
// (GetErrorInfo), and its object says for which interfaces it does so (ISupportErrorInfo).
#include <oaidl.h>
#include <string>
#include <string_view>

// For a failed hr: sets the thread's error information (the system's text for hr as description,
// source, usually a ProgID, and the interface). Returns hr, so that a method can end with it.
HRESULT ReportComError(HRESULT hr, REFIID iid, const wchar_t* source) noexcept;

// Sets the thread's error information with this description and, when one is given, the source
// (usually a ProgID); no interface.
void SetErrorDescription(std::wstring_view description, const wchar_t* source = nullptr) noexcept;

// Takes the thread's error information (clearing it) and returns its description; empty when
// there is none.
std::wstring TakeErrorDescription();
