#include "Framework/ComErrorInfo.h"
#include "Framework/Bstr.h"
#include "Framework/ComPtr.h"
#include <cwchar>
#include <cwctype>
#include <iterator>

namespace {
// The system's message for hr, or its number when the system has none.
void DescribeFailure(HRESULT hr, wchar_t (&text)[512]) noexcept
{
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  static_cast<DWORD>(hr), 0, text, static_cast<DWORD>(std::size(text)), nullptr);
    // The system's messages end with a line break.
    while (length > 0 && iswspace(text[length - 1])) text[--length] = L'\0';
    if (length == 0) swprintf(text, std::size(text), L"Error 0x%08lX", static_cast<unsigned long>(hr));
}

// One error information object with the fields given (null: left out) on the thread.
void SetThreadErrorInfo(const GUID* iid, const wchar_t* source, const wchar_t* description) noexcept
{
    ComPtr<ICreateErrorInfo> created;
    ComPtr<IErrorInfo> info;
    if (FAILED(CreateErrorInfo(&created)) || FAILED(created.As(info))) return;
    if (iid) created->SetGUID(*iid);
    if (source) created->SetSource(const_cast<wchar_t*>(source));
    created->SetDescription(const_cast<wchar_t*>(description));
    SetErrorInfo(0, info.Get());
}
}

HRESULT ReportComError(HRESULT hr, REFIID iid, const wchar_t* source) noexcept
{
    if (SUCCEEDED(hr)) return hr;
    wchar_t description[512]{};
    DescribeFailure(hr, description);
    SetThreadErrorInfo(&iid, source, description);
    return hr;
}

void SetErrorDescription(std::wstring_view description, const wchar_t* source) noexcept
{
    try {
        SetThreadErrorInfo(nullptr, source, std::wstring(description).c_str());
    } catch (...) {
        // Out of memory for the text: no error information rather than a wrong one.
    }
}

std::wstring TakeErrorDescription()
{
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) != S_OK || !info) return {};
    Bstr description;
    if (FAILED(info->GetDescription(&description))) return {};
    return std::wstring(description.View());
}
