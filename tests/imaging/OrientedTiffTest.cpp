// Real TIFF files stored in each of the eight EXIF orientations decode upright end to end on this
// platform, which answers no policy name but does answer the raw orientation tag of a TIFF.
#include "tests/imaging/DecodeFixture.h"
#include <cstring>

namespace {
constexpr UINT UprightWidth = 9;
constexpr UINT UprightHeight = 6;

// An uncompressed 8-bit RGB TIFF of one strip with an orientation tag. The platform's encoder writes
// no tags here, so the file is put together by hand.
std::vector<uint8_t> TiffWithOrientation(UINT width, UINT height, const std::vector<Rgba>& rgbRows, uint16_t orientation)
{
    struct Entry {
        uint16_t tag, type;
        uint32_t count, value;
    };
    constexpr uint16_t Short = 3, Long = 4;
    constexpr uint32_t EntryCount = 11;
    constexpr uint32_t IfdOffset = 8;
    constexpr uint32_t BitsOffset = IfdOffset + 2 + EntryCount * 12 + 4;
    constexpr uint32_t PixelsOffset = BitsOffset + 6;
    const uint32_t pixelBytes = width * height * 3;
    const Entry entries[EntryCount] = {
        {256, Long, 1, width},      {257, Long, 1, height},     {258, Short, 3, BitsOffset},
        {259, Short, 1, 1},         {262, Short, 1, 2},         {273, Long, 1, PixelsOffset},
        {274, Short, 1, orientation}, {277, Short, 1, 3},       {278, Long, 1, height},
        {279, Long, 1, pixelBytes}, {284, Short, 1, 1},
    };
    std::vector<uint8_t> bytes;
    auto put = [&bytes](const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + size);
    };
    auto put16 = [&put](uint16_t v) { put(&v, 2); };
    auto put32 = [&put](uint32_t v) { put(&v, 4); };
    put("II", 2), put16(42), put32(IfdOffset);
    put16(EntryCount);
    for (const Entry& e : entries) {
        put16(e.tag), put16(e.type), put32(e.count);
        // A short value sits in the first two bytes of the value field.
        if (e.type == Short && e.count == 1)
            put16(uint16_t(e.value)), put16(0);
        else
            put32(e.value);
    }
    put32(0);
    put16(8), put16(8), put16(8);
    for (const Rgba& c : rgbRows) put(&c, 3);
    return bytes;
}

// The upright picture stored as a camera in this orientation stores it.
std::vector<uint8_t> StoredAs(int orientation)
{
    const bool quarter = orientation >= 5;
    const UINT w = quarter ? UprightHeight : UprightWidth, h = quarter ? UprightWidth : UprightHeight;
    std::vector<Rgba> stored(size_t(w) * h);
    for (UINT y = 0; y < UprightHeight; ++y)
        for (UINT x = 0; x < UprightWidth; ++x) {
            const POINT at = StoredPositionShownAt(orientation, x, y, w, h);
            stored[size_t(at.y) * w + size_t(at.x)] = AsymmetricPixel(x, y);
        }
    return TiffWithOrientation(w, h, stored, uint16_t(orientation));
}

// The colour at the middle of each quarter of the upright picture, and at its four corners.
std::vector<POINT> Landmarks()
{
    const LONG w = UprightWidth, h = UprightHeight;
    return {{w / 4, h / 4}, {3 * w / 4, h / 4}, {w / 4, 3 * h / 4}, {3 * w / 4, 3 * h / 4},
            {0, 0},         {w - 1, 0},         {0, h - 1},         {w - 1, h - 1}};
}

void ExpectUpright(const std::vector<Rgba>& shown)
{
    ASSERT_EQ(size_t(UprightWidth) * UprightHeight, shown.size());
    for (const POINT& p : Landmarks())
        EXPECT_EQ(AsymmetricPixel(UINT(p.x), UINT(p.y)), shown[size_t(p.y) * UprightWidth + size_t(p.x)])
            << "at " << p.x << ", " << p.y;
}
}

class OrientedTiff : public DecodeFixture, public testing::WithParamInterface<int> {};

TEST_P(OrientedTiff, DecodesUprightOnBothRoads)
{
    const int orientation = GetParam();
    const std::wstring path = folder.File(L"oriented.tif");
    WriteBytes(path, StoredAs(orientation));

    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    ImageInfo info;
    ASSERT_EQ(S_OK, ToBitmap(path, bitmap, &info));
    EXPECT_EQ(UprightWidth, width);
    EXPECT_EQ(UprightHeight, height);
    ExpectUpright(PixelsOf(bitmap.get()));
    EXPECT_EQ(orientation, info.orientation);
    EXPECT_NE(0u, info.flags & ImageInfoOrientation);
    EXPECT_EQ(orientation == 1 ? 0 : 1, info.rotated);

    ComPtr<IDirect3DSurface9> surface;
    ASSERT_EQ(S_OK, ToSurface(path, surface));
    ExpectUpright(PixelsOf(surface.Get(), width, height));
}

INSTANTIATE_TEST_SUITE_P(Orientations, OrientedTiff, testing::Range(1, 9));
