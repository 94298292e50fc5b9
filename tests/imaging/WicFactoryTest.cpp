#include "Viewer/imaging/WicFactory.h"
#include <gtest/gtest.h>

namespace {
class WicFactoryTest : public testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override
    {
        ReleaseWicFactory();
        CoUninitialize();
    }
};

ULONG ReferenceCount(IUnknown* object)
{
    object->AddRef();
    return object->Release();
}
}

TEST_F(WicFactoryTest, CreateMakesAWorkingFactoryHoldingOneReference)
{
    ASSERT_EQ(S_OK, CreateWicFactory());
    ASSERT_TRUE(g_WicFactory);
    EXPECT_EQ(1u, ReferenceCount(g_WicFactory.Get()));
    ComPtr<IWICBitmap> bitmap;
    EXPECT_EQ(S_OK, g_WicFactory->CreateBitmap(4, 4, GUID_WICPixelFormat32bppBGRA, WICBitmapCacheOnLoad, &bitmap));
}

TEST_F(WicFactoryTest, CreateAgainReleasesTheOldFactoryAndMakesANewOne)
{
    ASSERT_EQ(S_OK, CreateWicFactory());
    ComPtr<IWICImagingFactory> first = g_WicFactory;
    ASSERT_EQ(2u, ReferenceCount(first.Get()));

    ASSERT_EQ(S_OK, CreateWicFactory());
    EXPECT_NE(first.Get(), g_WicFactory.Get());
    EXPECT_EQ(1u, ReferenceCount(first.Get())) << "the global no longer holds the old factory";
}

TEST_F(WicFactoryTest, ReleaseTwiceIsHarmless)
{
    ASSERT_EQ(S_OK, CreateWicFactory());
    EXPECT_EQ(S_OK, ReleaseWicFactory());
    EXPECT_FALSE(g_WicFactory);
    EXPECT_EQ(S_OK, ReleaseWicFactory());
    EXPECT_FALSE(g_WicFactory);
}

TEST_F(WicFactoryTest, CreateReportsTheFailureWhenCOMIsNotInitialised)
{
    CoUninitialize();
    EXPECT_EQ(CO_E_NOTINITIALIZED, CreateWicFactory());
    EXPECT_FALSE(g_WicFactory);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}
