#pragma once
// The Authenticode check of the files the viewer loads only when they are signed: the language
// library and the action plug-ins.
#include <windows.h>
#include <softpub.h>
#include <wintrust.h>
#include <string>

// WinVerifyTrust's generic verification of the file, without revocation checks; uiChoice is one of
// the WTD_UI_ values.
LONG VerifyFileSignature(const std::wstring& path, DWORD uiChoice);

// 0, or a signature that the system's policy only declined to evaluate (CRYPT_E_SECURITY_SETTINGS).
inline bool IsAcceptedSignatureResult(LONG result) noexcept
{
    return result == ERROR_SUCCESS || result == static_cast<LONG>(0x80092026);
}
