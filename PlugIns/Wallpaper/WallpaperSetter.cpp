#include "PlugIns/Wallpaper/WallpaperSetter.h"
#include "Framework/ComErrorInfo.h"
#include "PlugIns/Wallpaper/PlugInTexts.h"
#include "PlugIns/Wallpaper/Sharpening.h"
#include "PlugIns/Wallpaper/WallpaperIds.h"
#include <shlobj.h>
#include <shlwapi.h>
#include <algorithm>
#include <cmath>
#include <vector>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {
constexpr PROPID kOrientationProperty = 0x0112;
constexpr int kDrawAttempts = 5;
constexpr ULONG kJpegQuality = 75;
constexpr GUID kImageFormatBmp{0xB96B3CAB, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
constexpr GUID kImageFormatJpeg{0xB96B3CAE, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
constexpr GUID kEncoderQuality{0x1D5BE4B5, 0xFA4A, 0x452D, {0x9C, 0xDD, 0x5D, 0xB3, 0x51, 0x05, 0xE7, 0xEB}};

struct GraphicsDeleter {
    void operator()(GpGraphics* graphics) const noexcept { GdipDeleteGraphics(graphics); }
};

GdiPlusBitmap LoadPicture(const wchar_t* path)
{
    GpBitmap* loaded = nullptr;
    if (GdipCreateBitmapFromFileICM(path, &loaded) != Ok) return nullptr;
    return GdiPlusBitmap(loaded);
}

UINT ReadOrientation(GpBitmap* bitmap)
{
    UINT size = 0;
    if (GdipGetPropertyItemSize(bitmap, kOrientationProperty, &size) != Ok || size < sizeof(PropertyItem) + 2)
        return 0;
    std::vector<BYTE> buffer(size);
    auto* item = reinterpret_cast<PropertyItem*>(buffer.data());
    if (GdipGetPropertyItem(bitmap, kOrientationProperty, size, item) != Ok || !item->value || item->length < 2)
        return 0;
    const UINT value = *static_cast<const USHORT*>(item->value);
    return value > 8 ? 0 : value;
}

// The picture drawn into a screen-sized canvas; null when GDI+ could not draw it.
GdiPlusBitmap DrawCovering(GpBitmap* picture, int cx, int cy)
{
    const SIZE size = BitmapSize(picture);
    if (size.cx <= 0 || size.cy <= 0) return nullptr;
    const WallpaperPlacement placement = PlaceOnScreen(size.cx, size.cy, cx, cy);
    GpBitmap* created = nullptr;
    if (GdipCreateBitmapFromScan0(cx, cy, 0, PixelFormat32bppARGB, nullptr, &created) != Ok) return nullptr;
    GdiPlusBitmap canvas(created);
    GpGraphics* graphics = nullptr;
    if (GdipGetImageGraphicsContext(canvas.get(), &graphics) != Ok) return nullptr;
    std::unique_ptr<GpGraphics, GraphicsDeleter> owned(graphics);
    GdipSetPixelOffsetMode(graphics, PixelOffsetModeHighQuality);
    GdipSetInterpolationMode(graphics, InterpolationModeHighQualityBicubic);
    // A busy desktop can make a large draw fail for want of a system resource; that failure alone is retried.
    for (int attempt = 0; attempt < kDrawAttempts; ++attempt) {
        const GpStatus status = GdipDrawImageRectRectI(graphics, picture, placement.x, placement.y, placement.width,
                                                       placement.height, 0, 0, size.cx, size.cy, UnitPixel, nullptr,
                                                       nullptr, nullptr);
        if (status == Ok) return canvas;
        if (status != Win32Error) break;
    }
    return nullptr;
}

bool SaveWallpaper(GpBitmap* bitmap, std::wstring& savedPath)
{
    wchar_t path[MAX_PATH] = L"";
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return false;
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExW(&version);
    const bool bitmapFile = version.dwMajorVersion < 6;
    if (!PathAppendW(path, bitmapFile ? L"Lumenfold.Wallpaper.bmp" : L"Lumenfold.Wallpaper.jpg")) return false;
    CLSID encoder{};
    if (GetEncoderClsid(bitmapFile ? kImageFormatBmp : kImageFormatJpeg, encoder) < 0) return false;
    ULONG quality = kJpegQuality;
    EncoderParameters parameters{};
    parameters.Count = 1;
    parameters.Parameter[0].Guid = kEncoderQuality;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Type = EncoderParameterValueTypeLong;
    parameters.Parameter[0].Value = &quality;
    if (GdipSaveImageToFile(bitmap, path, &encoder, bitmapFile ? nullptr : &parameters) != Ok) return false;
    savedPath = path;
    return true;
}

void SetRegistryText(HKEY key, const wchar_t* name, const wchar_t* text)
{
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   DWORD((wcslen(text) + 1) * sizeof(wchar_t)));
}

void ApplyWallpaper(const std::wstring& path)
{
    HKEY desktop = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_READ | KEY_WRITE, &desktop) ==
        ERROR_SUCCESS) {
        SetRegistryText(desktop, L"WallpaperStyle", L"2");
        SetRegistryText(desktop, L"TileWallpaper", L"0");
        RegCloseKey(desktop);
    }
    SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(path.c_str()),
                          SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
}
}  // namespace

WallpaperPlacement PlaceOnScreen(int width, int height, int cx, int cy) noexcept
{
    if (cy * width < height * cx) {
        const int drawnHeight = MulDiv(height, cx, width);
        return {0, (cy - drawnHeight) / 2, cx, drawnHeight};
    }
    const int drawnWidth = MulDiv(width, cy, height);
    return {(cx - drawnWidth) / 2, 0, drawnWidth, cy};
}

float WallpaperSigma(int cx, int cy) noexcept
{
    const float sigma = sqrtf(float(cx + cy) / 3.5f) / 64.0f + 0.2f;
    return std::min(sigma, 1.0f);
}

RotateFlipType UprightTurn(UINT orientation) noexcept
{
    switch (orientation) {
    case 2: return RotateNoneFlipX;
    case 3: return Rotate180FlipNone;
    case 4: return Rotate180FlipX;
    case 5: return Rotate90FlipX;
    case 6: return Rotate90FlipNone;
    case 7: return Rotate270FlipX;
    case 8: return Rotate270FlipNone;
    default: return RotateNoneFlipNone;
    }
}

GdiPlusBitmap LoadUprightPicture(const wchar_t* path)
{
    GdiPlusBitmap picture = LoadPicture(path);
    if (!picture) return nullptr;
    if (const RotateFlipType turn = UprightTurn(ReadOrientation(picture.get())); turn != RotateNoneFlipNone)
        GdipImageRotateFlip(picture.get(), turn);
    return picture;
}

int GetEncoderClsid(const GUID& format, CLSID& clsid) noexcept
{
    clsid = CLSID{};
    UINT count = 0, size = 0;
    if (GdipGetImageEncodersSize(&count, &size) != Ok || size == 0) return -1;
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    if (GdipGetImageEncoders(count, size, encoders) != Ok) return -1;
    for (UINT i = 0; i < count; ++i) {
        if (encoders[i].FormatID == format) {
            clsid = encoders[i].Clsid;
            return int(i);
        }
    }
    return -1;
}

bool SetWallpaperFromFile(const wchar_t* path, LANGID language)
{
    GdiPlusBitmap working = LoadUprightPicture(path);
    if (!working) {
        SetErrorDescription(TextsFor(language).unsupportedFile, kWallpaperProgId);
        return false;
    }

    const int cx = GetSystemMetrics(SM_CXSCREEN);
    const int cy = GetSystemMetrics(SM_CYSCREEN);
    // When the draw fails the upright picture goes on unscaled: Windows stretches the file itself.
    if (GdiPlusBitmap canvas = DrawCovering(working.get(), cx, cy)) working = std::move(canvas);
    if (GdiPlusBitmap sharpened = SharpenBitmap(working.get(), WallpaperSigma(cx, cy), 1.0f, std::nullopt, kAllChannels))
        working = std::move(sharpened);

    std::wstring saved;
    if (!SaveWallpaper(working.get(), saved)) return false;
    ApplyWallpaper(saved);
    return true;
}
