#include "Framework/ComErrorInfo.h"
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
}

HRESULT ReportComError(HRESULT hr, REFIID iid, const wchar_t* source) noexcept
{
    if (SUCCEEDED(hr)) return hr;
    ComPtr<ICreateErrorInfo> created;
    ComPtr<IErrorInfo> info;
    if (FAILED(CreateErrorInfo(&created)) || FAILED(created.As(info))) return hr;
    wchar_t description[512]{};
    DescribeFailure(hr, description);
    created->SetGUID(iid);
    created->SetSource(const_cast<wchar_t*>(source));
    created->SetDescription(description);
    SetErrorInfo(0, info.Get());
    return hr;
}
