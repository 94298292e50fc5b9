// The whole action on the test's desktop: a stack whose first file GDI+ cannot read and whose second
// is a banded panorama becomes a screen-sized JPEG without the cut bands, and Windows is told to use
// it stretched and not tiled. These tests share the desktop's lock.
#include "Framework/Bstr.h"
#include "Framework/ComObject.h"
#include "Framework/ComErrorInfo.h"
#include "PlugIns/Wallpaper/SetAsWallpaper.h"
#include "PlugIns/Wallpaper/WallpaperSetter.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/RegistryReadBack.h"
#include "tests/support/TestPaths.h"
#include "tests/wallpaper/GdiPlusSession.h"
#include <filesystem>
#include <fstream>
#include <shlobj.h>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {
class WallpaperDesktop : public GdiPlusSession {};

constexpr GUID kBmpFormat{0xB96B3CAB, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

// 6000 × 2000: red and blue bands at the far ends, which fill-and-crop cuts away, green between.
void WriteBandedPanorama(const std::wstring& path)
{
    GpBitmap* created = nullptr;
    ASSERT_EQ(Ok, GdipCreateBitmapFromScan0(6000, 2000, 0, PixelFormat24bppRGB, nullptr, &created));
    GdiPlusBitmap bitmap(created);
    {
        LockedBits bits(bitmap.get(), Rect(0, 0, 6000, 2000), ImageLockModeWrite);
        ASSERT_TRUE(bits.Locked());
        for (int y = 0; y < 2000; ++y) {
            BYTE* row = bits.Row(y);
            for (int x = 0; x < 6000; ++x) {
                const bool red = x < 1000, blue = x >= 5000;
                row[x * 3 + 0] = blue ? 255 : 0;
                row[x * 3 + 1] = red || blue ? 0 : 200;
                row[x * 3 + 2] = red ? 255 : 0;
            }
        }
    }
    CLSID encoder{};
    ASSERT_GE(GetEncoderClsid(kBmpFormat, encoder), 0);
    ASSERT_EQ(Ok, GdipSaveImageToFile(bitmap.get(), path.c_str(), &encoder, nullptr));
}

std::wstring WallpaperFile()
{
    wchar_t folder[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::wstring(folder) + L"\\Lumenfold.Wallpaper.jpg";
}
}  // namespace

TEST_F(WallpaperDesktop, ABandedPanoramaBecomesAScreenSizedWallpaperWithoutItsCutBands)
{
    TempFolder folder;
    WriteBandedPanorama(folder.File(L"IMG_1.bmp"));
    std::ofstream(std::filesystem::path(folder.File(L"IMG_1.cr2"))) << "raw data GDI+ cannot read";
    DeleteFileW(WallpaperFile().c_str());

    ComPtr<IImageStackActionPlugIn> plugIn;
    ASSERT_EQ(S_OK, (ComObject<CSetAsWallpaper>::Create(nullptr, __uuidof(IImageStackActionPlugIn), plugIn.AsVoid())));
    plugIn->Initialize(nullptr, 0x0409, nullptr);
    MessageBoxRecorder yes(IDYES);
    SetErrorInfo(0, nullptr);
    tagLMFISAPPOSTACTIONBEHAVIOR behaviour{};
    ASSERT_EQ(S_OK, plugIn->Process(nullptr, Bstr(folder.File(L"IMG_1")).Get(), Bstr(L"cr2;bmp").Get(), 0, &behaviour));

    // The raw file's failure stays as error information, with the class's ProgID as source.
    ComPtr<IErrorInfo> error;
    ASSERT_EQ(S_OK, GetErrorInfo(0, &error));
    Bstr description, source;
    error->GetDescription(&description);
    error->GetSource(&source);
    EXPECT_EQ(L"Set as Wallpaper: unsupported file format. Please use a JPEG, BMP, PNG, TIFF or GIF file.",
              description.View());
    EXPECT_EQ(L"Lumenfold.PlugIn.SetAsWallpaper.1", source.View());

    const std::wstring file = WallpaperFile();
    GpBitmap* loaded = nullptr;
    ASSERT_EQ(Ok, GdipCreateBitmapFromFile(file.c_str(), &loaded));
    GdiPlusBitmap wallpaper(loaded);
    const SIZE size = BitmapSize(wallpaper.get());
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), size.cx);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), size.cy);
    const RgbPixels pixels = PixelsOf(wallpaper.get());
    int banded = 0;
    for (int y = 0; y < pixels.height; y += 7)
        for (int x = 0; x < pixels.width; ++x)
            if (pixels.At(x, y, 0) > 100 || pixels.At(x, y, 2) > 100) ++banded;
    EXPECT_EQ(0, banded);

    wchar_t current[MAX_PATH] = L"";
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, current, 0));
    EXPECT_EQ(0, _wcsicmp(file.c_str(), current)) << current;
    EXPECT_EQ(L"2", ReadRegistryString(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"WallpaperStyle"));
    EXPECT_EQ(L"0", ReadRegistryString(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"TileWallpaper"));
}

TEST_F(WallpaperDesktop, AnUnreadableFileLeavesTheWallpaperAloneAndSaysWhyInFrench)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"broken.jpg");
    std::ofstream(std::filesystem::path(path)) << "not a picture";
    SetErrorInfo(0, nullptr);
    EXPECT_FALSE(SetWallpaperFromFile(path.c_str(), 0x040C));
    EXPECT_EQ(L"Mettre en fond d'\u00e9cran: format d'image non support\u00e9. Utilisez un JPEG, BMP, PNG, TIFF ou GIF.",
              TakeErrorDescription());
}
