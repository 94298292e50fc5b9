#include "Framework/ErrorInfo.h"
#include "Framework/Bstr.h"
#include "Framework/ComPtr.h"
#include <oleauto.h>

void SetErrorDescription(std::wstring_view description, const wchar_t* source) noexcept
{
    ComPtr<ICreateErrorInfo> created;
    if (FAILED(CreateErrorInfo(&created))) return;
    try {
        created->SetDescription(Bstr(description).Get());
        if (source) created->SetSource(Bstr(source).Get());
    } catch (...) {
        return;  // out of memory for the text: no error information at all rather than a wrong one
    }
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(created.As(info))) SetErrorInfo(0, info.Get());
}

std::wstring TakeErrorDescription()
{
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) != S_OK || !info) return {};
    Bstr description;
    if (FAILED(info->GetDescription(&description))) return {};
    return std::wstring(description.View());
}
