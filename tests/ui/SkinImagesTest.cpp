#include "Viewer/ui/SkinImages.h"
#include "Framework/ComPtr.h"
#include "Viewer/core/GdiPlus.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/ui/RenderDevice.h"
#include <gmock/gmock.h>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

std::wstring TestFolder()
{
    wchar_t path[MAX_PATH]{};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path().wstring();
}

class SkinImagesTest : public testing::Test {
protected:
    void SetUp() override
    {
        GdiPlusAcquire();
        language = LoadLibraryExW((TestFolder() + L"\\Lumenfold.Core.EN.dll").c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, language);
    }
    void TearDown() override
    {
        ReleaseDirect3D();
        if (window) DestroyWindow(window);
        if (language) FreeLibrary(language);
        GdiPlusRelease();
    }
    void StartDevice()
    {
        window = CreateWindowExW(0, L"STATIC", L"view", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_EQ(S_OK, InitDirect3D(window, false));
    }
    static std::unique_ptr<Gdiplus::Bitmap> Load(UINT id, HMODULE module, bool fallBack = true)
    {
        return std::unique_ptr<Gdiplus::Bitmap>(LoadPngResource(MAKEINTRESOURCEW(id), SkinResourceType, module, fallBack));
    }
    HMODULE language = nullptr;
    HWND window = nullptr;
};

struct SkinSize {
    UINT id, width, height;
};

TEST_F(SkinImagesTest, TheProgramFileHoldsEverySkinImageAtItsSize)
{
    const SkinSize sizes[] = {{200, 90, 28},  {201, 90, 28},  {219, 90, 28},  {202, 90, 28},  {203, 640, 30},
                              {204, 158, 28}, {205, 158, 28}, {206, 158, 28}, {207, 186, 245}, {218, 281, 185},
                              {221, 281, 185}, {220, 16, 30}, {222, 72, 100}, {223, 386, 96}, {224, 386, 96},
                              {225, 386, 96}, {239, 386, 96}, {226, 360, 28}, {243, 360, 28}, {227, 632, 28},
                              {228, 360, 28}, {230, 5, 9},    {231, 5, 9}};
    for (const SkinSize& s : sizes) {
        auto image = Load(s.id, nullptr);
        ASSERT_TRUE(image) << s.id;
        EXPECT_EQ(s.width, image->GetWidth()) << s.id;
        EXPECT_EQ(s.height, image->GetHeight()) << s.id;
    }
    for (UINT stamp : {232u, 236u}) EXPECT_TRUE(Load(stamp, nullptr)) << stamp;
}

TEST_F(SkinImagesTest, AnImageMissingFromTheLanguageLibraryComesFromTheProgramFileOnlyWithFallBack)
{
    EXPECT_TRUE(Load(222, language));
    EXPECT_FALSE(Load(222, language, false));
    EXPECT_FALSE(Load(299, language));
    EXPECT_FALSE(Load(299, nullptr));
}

// A PNG of the given size, encoded by GDI+.
std::vector<BYTE> PngOfSize(int width, int height)
{
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
    ComPtr<IStream> stream;
    EXPECT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, &stream));
    const CLSID pngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    EXPECT_EQ(Gdiplus::Ok, bitmap.Save(stream.Get(), &pngEncoder, nullptr));
    HGLOBAL block = nullptr;
    GetHGlobalFromStream(stream.Get(), &block);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    const auto* bytes = static_cast<const BYTE*>(GlobalLock(block));
    std::vector<BYTE> result(bytes, bytes + stat.cbSize.QuadPart);
    GlobalUnlock(block);
    return result;
}

TEST_F(SkinImagesTest, ALanguageLibraryImageReplacesTheProgramFilesOne)
{
    wchar_t temp[MAX_PATH]{};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring copy = std::wstring(temp) + L"SkinOverride.EN.dll";
    ASSERT_TRUE(CopyFileW((TestFolder() + L"\\Lumenfold.Core.EN.dll").c_str(), copy.c_str(), FALSE));
    std::vector<BYTE> png = PngOfSize(3, 5);
    HANDLE update = BeginUpdateResourceW(copy.c_str(), FALSE);
    ASSERT_NE(nullptr, update);
    ASSERT_TRUE(UpdateResourceW(update, SkinResourceType, MAKEINTRESOURCEW(222), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                png.data(), static_cast<DWORD>(png.size())));
    ASSERT_TRUE(EndUpdateResourceW(update, FALSE));
    HMODULE library = LoadLibraryExW(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, library);

    auto image = Load(222, library);
    ASSERT_TRUE(image);
    EXPECT_EQ(3u, image->GetWidth());
    EXPECT_EQ(5u, image->GetHeight());

    const HMODULE previous = LanguageResources::LibraryHandle;
    LanguageResources::LibraryHandle = library;
    HBITMAP handle = LoadPngResourceHBitmap(222, SkinResourceType);
    LanguageResources::LibraryHandle = previous;
    ASSERT_NE(nullptr, handle);
    BITMAP info{};
    GetObjectW(handle, sizeof info, &info);
    EXPECT_EQ(3, info.bmWidth);
    DeleteObject(handle);
    FreeLibrary(library);
    DeleteFileW(copy.c_str());
}

TEST_F(SkinImagesTest, TheControlBarStripBecomesAGdiBitmapFromTheProgramFile)
{
    const HMODULE previous = LanguageResources::LibraryHandle;
    LanguageResources::LibraryHandle = language;
    HBITMAP strip = LoadPngResourceHBitmap(226, SkinResourceType);
    HBITMAP missing = LoadPngResourceHBitmap(299, SkinResourceType);
    LanguageResources::LibraryHandle = previous;
    ASSERT_NE(nullptr, strip);
    EXPECT_EQ(nullptr, missing);
    BITMAP info{};
    GetObjectW(strip, sizeof info, &info);
    EXPECT_EQ(360, info.bmWidth);
    EXPECT_EQ(28, info.bmHeight);
    DeleteObject(strip);
}

TEST_F(SkinImagesTest, WithoutADeviceNothingIsMadeAndTheSizesAreZero)
{
    UINT width = 7, height = 7;
    EXPECT_EQ(nullptr, LoadPngSurface(222, SkinResourceType, D3DPOOL_SYSTEMMEM, &width, &height, language));
    EXPECT_EQ(0u, width);
    EXPECT_EQ(0u, height);
    width = height = 7;
    EXPECT_EQ(nullptr, LoadPngTexture(232, D3DPOOL_MANAGED, &width, &height, language));
    EXPECT_EQ(0u, width + height);
}

TEST_F(SkinImagesTest, StampsBecomeTexturesThatKeepTheirTransparency)
{
    StartDevice();
    UINT width = 0, height = 0;
    ComPtr<IDirect3DTexture9> texture =
        ComPtr<IDirect3DTexture9>::Attach(LoadPngTexture(232, D3DPOOL_MANAGED, &width, &height, language));
    ASSERT_TRUE(texture);
    EXPECT_EQ(96u, width);
    EXPECT_EQ(96u, height);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(S_OK, texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY));
    const auto pixel = [&](int x, int y) {
        return *reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch + x * 4);
    };
    EXPECT_EQ(0u, pixel(0, 0) >> 24);  // the corner outside the round stamp
    EXPECT_GT(pixel(20, 48) >> 24, 150u);
    texture->UnlockRect(0);

    ComPtr<IDirect3DTexture9> dynamic =
        ComPtr<IDirect3DTexture9>::Attach(LoadPngTexture(236, D3DPOOL_DEFAULT, nullptr, nullptr, language));
    EXPECT_TRUE(dynamic);
}

TEST_F(SkinImagesTest, AnImageOfAnotherFormatIsConvertedToTheDisplayFormatRowByRow)
{
    StartDevice();
    // 5 pixels of 3 bytes: a stride of 16 that no 32-bit surface row matches.
    Gdiplus::Bitmap image(5, 3, PixelFormat24bppRGB);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) image.SetPixel(x, y, Gdiplus::Color(255, BYTE(x * 50), BYTE(y * 100), 7));
    ComPtr<IDirect3DSurface9> surface = ComPtr<IDirect3DSurface9>::Attach(ImageToSurface(&image, D3DPOOL_SYSTEMMEM));
    ASSERT_TRUE(surface);
    D3DSURFACE_DESC description{};
    surface->GetDesc(&description);
    EXPECT_EQ(5u, description.Width);
    EXPECT_EQ(3u, description.Height);
    EXPECT_EQ(RenderDevice.DisplayMode.Format, description.Format);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(S_OK, surface->LockRect(&locked, nullptr, D3DLOCK_READONLY));
    const auto* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(locked.pBits) + 2 * locked.Pitch);
    EXPECT_EQ(0x00c8c807u, row[4] & 0x00ffffffu);
    surface->UnlockRect();
}

}  // namespace
