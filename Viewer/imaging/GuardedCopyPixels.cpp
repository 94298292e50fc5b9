#include "Viewer/imaging/GuardedCopyPixels.h"
#include "Framework/FaultGuard.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/DecodeThreadContext.h"
#include <shlwapi.h>

volatile LONG CodecCrashCount = 0;

namespace {
// ERROR_UNHANDLED_EXCEPTION, which mingw-w64's winerror.h lacks.
constexpr DWORD ErrorUnhandledException = 574;

// True when the copy ran to its end; false when the codec faulted and the thread came back here.
bool CopyUnderRecoveryPoint(IWICBitmapSource* source, const WICRect* rect, UINT stride, UINT bufferSize, BYTE* buffer,
                            HRESULT* result)
{
    return RunCatchingFaults([&] { *result = source->CopyPixels(rect, stride, bufferSize, buffer); });
}

void TellUserOfCodecCrash(const DecodeThreadContext* context, bool rawCodec, const wchar_t* path)
{
    wchar_t text[2048] = L"";
    // wnsprintfW reads "%s" as a wide string, the form the language library's message uses.
    wnsprintfW(text, ARRAYSIZE(text), context->CrashMessage(), path);
    StrCatBuffW(text, rawCodec ? context->CrashRawCodecEnding() : context->CrashGeneralEnding(), ARRAYSIZE(text));
    ShowMessageBox(GetActiveWindow(), text, context->CrashCaption(), MB_ICONERROR | MB_TASKMODAL | MB_TOPMOST);
}
}

HRESULT GuardedCopyPixels(const DecodeThreadContext* context, bool rawCodec, const wchar_t* path,
                          IWICBitmapSource* source, const WICRect* rect, UINT stride, UINT bufferSize, BYTE* buffer)
{
    if (!source) return E_INVALIDARG;
    HRESULT result = E_FAIL;
    if (CopyUnderRecoveryPoint(source, rect, stride, bufferSize, buffer, &result)) return result;

    if (InterlockedIncrement(&CodecCrashCount) == 1) {
        TellUserOfCodecCrash(context, rawCodec, path);
        EndProcess(0xFFFFFFFF);
    } else {
        EndCurrentThread(0xFFFFFFFF);
    }
    return HRESULT_FROM_WIN32(ErrorUnhandledException);
}
