#include "Viewer/core/DecodeThreadContext.h"
#include <gtest/gtest.h>
#include "tests/core/CrashProbe.h"
#include "tests/support/ScopedResourceModule.h"

namespace {
// Counts its references, so a test sees the context give its one back.
class CountedObject : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    ULONG references = 1;
};

TEST(DecodeThreadContext, LoadsTheCrashTextsInTheirRoles)
{
    ScopedResourceModule strings(CrashProbeFileName);
    ASSERT_TRUE(strings.Loaded()) << "crashprobe.exe is built with the tests";
    DecodeThreadContext context(nullptr);
    EXPECT_STREQ(L"[10025 %s]", context.CrashMessage());
    EXPECT_STREQ(L"[10026]", context.CrashRawCodecEnding());
    EXPECT_STREQ(L"[10027]", context.CrashGeneralEnding());
    EXPECT_STREQ(L"[100]", context.CrashCaption());
}

TEST(DecodeThreadContext, ReadsTheEnginesCurrentDisplayThroughItsRecord)
{
    DecodeDisplay display;
    DecodeThreadContext context(&display);
    EXPECT_EQ(nullptr, context.Device());
    auto* stand_in = reinterpret_cast<IDirect3DDevice9*>(&display);  // never called, only compared
    display.device = stand_in;
    display.surfaceFormat = D3DFMT_X8R8G8B8;
    display.background[0] = 0x12, display.background[1] = 0x34, display.background[2] = 0x56;
    EXPECT_EQ(stand_in, context.Device()) << "a device set after the worker started is seen";
    EXPECT_EQ(D3DFMT_X8R8G8B8, context.SurfaceFormat());
    EXPECT_EQ(0xFF123456u, context.BackgroundArgb()) << "red in bits 16-23, opaque";

    const DecodeThreadContext without(nullptr);
    EXPECT_EQ(nullptr, without.Device());
    EXPECT_EQ(D3DFMT_UNKNOWN, without.SurfaceFormat());
    EXPECT_EQ(0xFF000000u, without.BackgroundArgb());
}

TEST(DecodeThreadContext, ReleasesWhatTheDecodePathKeptInIt)
{
    CountedObject object;
    {
        DecodeThreadContext context(nullptr);
        context.Companion() = ComPtr<IUnknown>(&object);
        EXPECT_EQ(2u, object.references);
    }
    EXPECT_EQ(1u, object.references);
}
}
