// A TIFF whose orientation tag says "turn 90° clockwise to view" (6) is loaded upright. The file is
// written byte by byte here: the platform's encoders write no orientation tag.
#include "PlugIns/Wallpaper/WallpaperSetter.h"
#include "tests/support/TestPaths.h"
#include "tests/wallpaper/GdiPlusSession.h"
#include <cstdint>
#include <filesystem>
#include <fstream>

namespace {
void WriteTiff(const std::wstring& path, uint16_t width, uint16_t height, uint16_t orientation);

class UprightPicture : public GdiPlusSession {
protected:
    // The 4 × 3 test picture with this orientation, loaded upright.
    GdiPlusBitmap Load(uint16_t orientation)
    {
        const std::wstring path = m_folder.File(L"picture" + std::to_wstring(orientation) + L".tif");
        WriteTiff(path, 4, 3, orientation);
        return LoadUprightPicture(path.c_str());
    }

private:
    TempFolder m_folder;
};

void Put16(std::string& out, uint16_t value)
{
    out.push_back(char(value & 0xFF));
    out.push_back(char(value >> 8));
}

void Put32(std::string& out, uint32_t value)
{
    Put16(out, uint16_t(value & 0xFFFF));
    Put16(out, uint16_t(value >> 16));
}

// An uncompressed RGB TIFF of width × height, every pixel black but the top-left one, which is red.
void WriteTiff(const std::wstring& path, uint16_t width, uint16_t height, uint16_t orientation)
{
    struct Tag {
        uint16_t id, type;
        uint32_t count, value;
    };
    const uint32_t pixelBytes = uint32_t(width) * height * 3;
    const uint32_t pixelsAt = 8;
    const uint32_t bitsAt = pixelsAt + pixelBytes;
    const uint32_t ifdAt = bitsAt + 6;
    const Tag tags[] = {
        {256, 3, 1, width},        {257, 3, 1, height},      {258, 3, 3, bitsAt},   {259, 3, 1, 1},
        {262, 3, 1, 2},            {273, 4, 1, pixelsAt},    {274, 3, 1, orientation}, {277, 3, 1, 3},
        {278, 3, 1, height},       {279, 4, 1, pixelBytes},
    };
    std::string file("II*\0", 4);
    Put32(file, ifdAt);
    std::string pixels(pixelBytes, '\0');
    pixels[0] = char(255);  // red, green, blue in the file's order
    file += pixels;
    for (int i = 0; i < 3; ++i) Put16(file, 8);
    Put16(file, uint16_t(std::size(tags)));
    for (const Tag& tag : tags) {
        Put16(file, tag.id);
        Put16(file, tag.type);
        Put32(file, tag.count);
        if (tag.type == 3 && tag.count == 1) {
            Put16(file, uint16_t(tag.value));
            Put16(file, 0);
        } else {
            Put32(file, tag.value);
        }
    }
    Put32(file, 0);
    std::ofstream(std::filesystem::path(path), std::ios::binary) << file;
}
}  // namespace

TEST_F(UprightPicture, OrientationSixTurnsALandscapeFileIntoAnUprightPortrait)
{
    GdiPlusBitmap picture = Load(6);
    ASSERT_TRUE(picture);
    const SIZE size = BitmapSize(picture.get());
    EXPECT_EQ(3, size.cx);
    EXPECT_EQ(4, size.cy);
    // A quarter turn clockwise takes the top-left pixel to the top-right corner.
    const RgbPixels pixels = PixelsOf(picture.get());
    EXPECT_EQ(255, pixels.At(2, 0, 2));
    EXPECT_EQ(0, pixels.At(0, 0, 2));
}

TEST_F(UprightPicture, WithoutAnOrientationTheFileStaysAsItIs)
{
    GdiPlusBitmap picture = Load(1);
    ASSERT_TRUE(picture);
    EXPECT_EQ(4, BitmapSize(picture.get()).cx);
    EXPECT_EQ(255, PixelsOf(picture.get()).At(0, 0, 2));
}
