#include "Viewer/ui/RenderDevice.h"
#include <gmock/gmock.h>
#include <memory>

namespace {
class RenderDeviceOnWindow : public testing::Test {
protected:
    void SetUp() override
    {
        window = CreateWindowExW(0, L"STATIC", L"view", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64, nullptr, nullptr, nullptr,
                                 nullptr);
        ASSERT_NE(nullptr, window);
    }
    void TearDown() override
    {
        ReleaseDirect3D();
        DestroyWindow(window);
    }
    HWND window = nullptr;
};

// Checks, when it is released, that the holder that released it no longer points at it.
class WatchedObject : public IUnknown {
public:
    const ComPtr<IUnknown>* holder = nullptr;
    bool heldWhenReleased = true;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        heldWhenReleased = bool(*holder);
        return 1;
    }
};
}

TEST_F(RenderDeviceOnWindow, MakesTheObjectAndAMultithreadedDeviceForTheWindow)
{
    ASSERT_EQ(S_OK, InitDirect3D(window, false));
    ASSERT_TRUE(RenderDevice.Direct3DObject);
    ASSERT_TRUE(RenderDevice.Device);
    EXPECT_EQ(D3DFMT_X8R8G8B8, RenderDevice.DisplayMode.Format);
    const D3DPRESENT_PARAMETERS& p = RenderDevice.PresentParameters;
    EXPECT_TRUE(p.Windowed);
    EXPECT_EQ(1u, p.BackBufferCount);
    EXPECT_EQ(D3DSWAPEFFECT_DISCARD, p.SwapEffect);
    EXPECT_EQ(window, p.hDeviceWindow);
    EXPECT_EQ(D3DMULTISAMPLE_NONE, p.MultiSampleType);
    EXPECT_EQ(0u, p.MultiSampleQuality);

    D3DDEVICE_CREATION_PARAMETERS creation = {};
    ASSERT_EQ(S_OK, RenderDevice.Device->GetCreationParameters(&creation));
    EXPECT_NE(0u, creation.BehaviorFlags & D3DCREATE_MULTITHREADED);
    // The platform here reports about 4.29 GB unless told otherwise: above the limit, kept as 0.
    EXPECT_LE(RenderDevice.StartFreeTextureMemory, 4000000000u);
    if (RenderDevice.Device->GetAvailableTextureMem() > 4000000000u) {
        EXPECT_EQ(0u, RenderDevice.StartFreeTextureMemory);
    }

    DWORD minify = 99, magnify = 99;
    RenderDevice.Device->GetSamplerState(0, D3DSAMP_MINFILTER, &minify);
    RenderDevice.Device->GetSamplerState(0, D3DSAMP_MAGFILTER, &magnify);
    EXPECT_EQ(RenderDevice.MinifyFilter, minify);
    EXPECT_THAT(magnify, testing::AnyOf(RenderDevice.MagnifyPointFilter, RenderDevice.MagnifySmoothFilter));

    // Off-screen surfaces of decoded pictures are made in the display format in the default pool.
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(S_OK, RenderDevice.Device->CreateOffscreenPlainSurface(16, 8, RenderDevice.DisplayMode.Format,
                                                                     D3DPOOL_DEFAULT, &surface, nullptr));
    surface->Release();

    EXPECT_EQ(0, ReleaseDirect3D());
    EXPECT_FALSE(RenderDevice.Device);
    EXPECT_FALSE(RenderDevice.Direct3DObject);
    EXPECT_EQ(0, ReleaseDirect3D()) << "a second release finds nothing to do";
}

TEST_F(RenderDeviceOnWindow, MultisamplingIsChosenWhenAskedForAndNeverFailsTheStart)
{
    ASSERT_EQ(S_OK, InitDirect3D(window, true));
    const D3DPRESENT_PARAMETERS& p = RenderDevice.PresentParameters;
    if (p.MultiSampleType == D3DMULTISAMPLE_NONE) {
        EXPECT_EQ(0u, p.MultiSampleQuality);
    }
    EXPECT_THAT(p.MultiSampleType, testing::AnyOf(D3DMULTISAMPLE_NONE, D3DMULTISAMPLE_NONMASKABLE, D3DMULTISAMPLE_2_SAMPLES,
                                                  D3DMULTISAMPLE_3_SAMPLES, D3DMULTISAMPLE_4_SAMPLES));
}

TEST(RenderDevice, ANullWindowTouchesNothing)
{
    EXPECT_EQ(E_UNEXPECTED, InitDirect3D(nullptr, false));
    EXPECT_FALSE(RenderDevice.Direct3DObject);
    EXPECT_FALSE(RenderDevice.Device);
}

// The device and the object are released through their holders, which empty themselves before the
// release, so that a decode worker never finds a released interface there.
TEST(RenderDevice, ReleasingAHolderEmptiesItFirst)
{
    WatchedObject object;
    ComPtr<IUnknown> held(&object);
    object.holder = std::addressof(held);
    held.Release();
    EXPECT_FALSE(held);
    EXPECT_FALSE(object.heldWhenReleased);
    held.Release();
}
