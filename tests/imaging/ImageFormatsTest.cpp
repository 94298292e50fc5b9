#include "Viewer/imaging/ImageFormats.h"
#include <gtest/gtest.h>
#include <wincodec.h>
#include <string>

namespace {
struct ExtensionCase {
    const wchar_t* path;
    bool found;
    const GUID* container;
    bool microsoftVendor;
};

const ExtensionCase ExtensionCases[] = {
    {L"C:\\Pictures\\IMG_0001.JPG", true, &GUID_ContainerFormatJpeg, true},
    {L"a.jfif", true, &GUID_ContainerFormatJpeg, true},
    {L"a.exif", true, &GUID_ContainerFormatJpeg, true},
    {L"scan.Tiff", true, &GUID_ContainerFormatTiff, true},
    {L"hd.wdp", true, &GUID_ContainerFormatWmp, true},
    {L"x.rle", true, &GUID_ContainerFormatBmp, true},
    {L"x.png", true, &GUID_ContainerFormatPng, true},
    {L"x.gif", true, &GUID_ContainerFormatGif, true},
    {L"x.cur", true, &GUID_ContainerFormatIco, true},
    {L"D.NEF", true, &ContainerFormatNef, false},
    {L"d.crw", true, &ContainerFormatCr2, false},
    {L"d.pef", true, &ContainerFormatPef, false},
    {L"d.orf", true, &ContainerFormatOrf, false},
    {L"d.srf", true, &ContainerFormatArw, false},
    {L"d.dng", true, &ContainerFormatDng, false},
    {L"d.rw2", true, &ContainerFormatRw2, false},
    {L"old.TGA", true, &ContainerFormatTga, false},
    {L"C:\\x\\holiday.jpeg.bak", false, &GUID_NULL, false},
    {L"C:\\x.jpg\\README", false, &GUID_NULL, false},
    {L"noextension", false, &GUID_NULL, false},
    {L"dot.", false, &GUID_NULL, false},
};

std::wstring Describe(const GUID& guid)
{
    wchar_t text[40];
    StringFromGUID2(guid, text, 40);
    return text;
}
}

TEST(ImageFormats, ExtensionMapsToContainerAndVendor)
{
    for (const ExtensionCase& c : ExtensionCases) {
        SCOPED_TRACE(testing::Message() << "path " << std::wstring(c.path));
        GUID container = GUID_ContainerFormatBmp, vendor = GUID_ContainerFormatBmp;
        EXPECT_EQ(c.found, GetImageFormatFromExtension(c.path, &container, &vendor));
        EXPECT_EQ(Describe(*c.container), Describe(container));
        EXPECT_EQ(Describe(c.microsoftVendor ? GUID_VendorMicrosoft : GUID_NULL), Describe(vendor));
    }
}

TEST(ImageFormats, RawSetHoldsEightIdentifiersButNotNefTgaOrPlatformContainers)
{
    const GUID* raw[] = {&ContainerFormatRawSecondary, &ContainerFormatCr2, &ContainerFormatPef,
                         &ContainerFormatOrf,          &ContainerFormatArw, &ContainerFormatDng,
                         &ContainerFormatRawFurther,   &ContainerFormatRw2};
    for (const GUID* g : raw) EXPECT_TRUE(IsRawContainerFormat(*g)) << Describe(*g);
    const GUID* notRaw[] = {&ContainerFormatNef,       &ContainerFormatTga,      &GUID_ContainerFormatJpeg,
                            &GUID_ContainerFormatTiff, &GUID_ContainerFormatWmp, &GUID_ContainerFormatBmp,
                            &GUID_ContainerFormatPng,  &GUID_ContainerFormatGif, &GUID_ContainerFormatIco,
                            &GUID_NULL};
    for (const GUID* g : notRaw) EXPECT_FALSE(IsRawContainerFormat(*g)) << Describe(*g);
}

TEST(ImageFormats, QueryPrefixesDependOnWhereTheContainerKeepsItsExif)
{
    wchar_t buffer[512] = L"untouched";
    const wchar_t* exifDate = L"/ifd/exif/{ushort=36868}";
    const wchar_t* xmpDate = L"/xmp/exif:DateTimeOriginal";

    // JPEG: EXIF sits below APP1, XMP at the root.
    EXPECT_STREQ(L"/app1/ifd/exif/{ushort=36868}", PrefixApp1Query(false, exifDate, buffer, 512));
    EXPECT_EQ(xmpDate, PrefixIfdQuery(false, xmpDate, buffer, 512));
    // TIFF: EXIF at the root, XMP below the IFD.
    EXPECT_EQ(exifDate, PrefixApp1Query(true, exifDate, buffer, 512));
    EXPECT_STREQ(L"/ifd/xmp/exif:DateTimeOriginal", PrefixIfdQuery(true, xmpDate, buffer, 512));
}

TEST(ImageFormats, QueryLongerThanTheBufferIsCutAndTerminated)
{
    wchar_t buffer[12];
    wmemset(buffer, L'#', 12);
    EXPECT_STREQ(L"/app1/ifd/e", PrefixApp1Query(false, L"/ifd/exif/{ushort=36868}", buffer, 12));
    EXPECT_STREQ(L"/ifd/xmp/ex", PrefixIfdQuery(true, L"/xmp/exif:DateTimeOriginal", buffer, 12));
}
