#include "Viewer/core/GdiPlus.h"
#include <windows.h>
#include <gdiplus.h>
#include <mutex>

namespace {
std::mutex g_lock;
int g_userCount = 0;
ULONG_PTR g_token = 0;
}

void GdiPlusAcquire() noexcept
{
    std::lock_guard guard(g_lock);
    if (g_userCount++ == 0) {
        // Version 1, no background thread suppression, no debug hook; a failure only leaves GDI+ off.
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&g_token, &input, nullptr) != Gdiplus::Ok) g_token = 0;
    }
}

void GdiPlusRelease() noexcept
{
    std::lock_guard guard(g_lock);
    if (g_userCount == 0) return;
    if (--g_userCount == 0 && g_token) {
        Gdiplus::GdiplusShutdown(g_token);
        g_token = 0;
    }
}

int GdiPlusUserCount() noexcept
{
    std::lock_guard guard(g_lock);
    return g_userCount;
}
