#include "Viewer/imaging/WicFactory.h"
#include <mutex>
#include <utility>

ComPtr<IWICImagingFactory> g_WicFactory;

namespace {
// Readers may still be looking at the old pointer: the global is cleared before the old object goes.
void DropFactory() noexcept
{
    ComPtr<IWICImagingFactory> old = std::move(g_WicFactory);
    old.Release();
}
}

HRESULT CreateWicFactory() noexcept
{
    DropFactory();
    return g_WicFactory.CoCreate(CLSID_WICImagingFactory);
}

HRESULT CreateWicFactoryIfMissing() noexcept
{
    static std::mutex creation;
    std::lock_guard guard(creation);
    if (g_WicFactory) return S_OK;
    return g_WicFactory.CoCreate(CLSID_WICImagingFactory);
}

HRESULT ReleaseWicFactory() noexcept
{
    DropFactory();
    return S_OK;
}
