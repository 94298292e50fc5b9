#include "Viewer/imaging/ImageFormats.h"
#include "Viewer/imaging/TextCompare.h"
#include <iterator>
#include <string>
#include <wincodec.h>
#include <shlwapi.h>
#include <strsafe.h> // last: it poisons the CRT names that <string> uses

namespace {
struct ExtensionRow {
    const wchar_t* extension;
    const GUID* container;
    bool microsoftCodec;
};

// Tested in this order; the first match wins.
const ExtensionRow ExtensionTable[] = {
    {L".jpg", &GUID_ContainerFormatJpeg, true},   {L".jpeg", &GUID_ContainerFormatJpeg, true},
    {L".jpe", &GUID_ContainerFormatJpeg, true},   {L".jfif", &GUID_ContainerFormatJpeg, true},
    {L".exif", &GUID_ContainerFormatJpeg, true},  {L".tif", &GUID_ContainerFormatTiff, true},
    {L".tiff", &GUID_ContainerFormatTiff, true},  {L".hdp", &GUID_ContainerFormatWmp, true},
    {L".wdp", &GUID_ContainerFormatWmp, true},    {L".bmp", &GUID_ContainerFormatBmp, true},
    {L".dib", &GUID_ContainerFormatBmp, true},    {L".rle", &GUID_ContainerFormatBmp, true},
    {L".png", &GUID_ContainerFormatPng, true},    {L".gif", &GUID_ContainerFormatGif, true},
    {L".ico", &GUID_ContainerFormatIco, true},    {L".icon", &GUID_ContainerFormatIco, true},
    {L".cur", &GUID_ContainerFormatIco, true},    {L".nef", &ContainerFormatNef, false},
    {L".cr2", &ContainerFormatCr2, false},        {L".crw", &ContainerFormatCr2, false},
    {L".pef", &ContainerFormatPef, false},        {L".orf", &ContainerFormatOrf, false},
    {L".sr2", &ContainerFormatArw, false},        {L".srf", &ContainerFormatArw, false},
    {L".arw", &ContainerFormatArw, false},        {L".dng", &ContainerFormatDng, false},
    {L".rw2", &ContainerFormatRw2, false},        {L".tga", &ContainerFormatTga, false},
};
static_assert(std::size(ExtensionTable) == 28);

const GUID* const RawContainers[] = {
    &ContainerFormatRawSecondary, &ContainerFormatCr2, &ContainerFormatPef, &ContainerFormatOrf,
    &ContainerFormatArw,          &ContainerFormatDng, &ContainerFormatRawFurther, &ContainerFormatRw2,
};

const wchar_t* PrefixQuery(const wchar_t* prefix, const wchar_t* path, wchar_t* buffer, size_t count)
{
    // Truncation is wanted here: the strsafe calls cut and terminate.
    StringCchCopyW(buffer, count, prefix);
    StringCchCatW(buffer, count, path);
    return buffer;
}
}

bool GetImageFormatFromExtension(const wchar_t* path, GUID* containerOut, GUID* vendorOut)
{
    *containerOut = GUID_NULL;
    *vendorOut = GUID_NULL;
    if (!path) return false;
    std::wstring extension = PathFindExtensionW(path);
    if (extension.empty()) return false;
    CharLowerBuffW(extension.data(), static_cast<DWORD>(extension.size()));
    for (const ExtensionRow& row : ExtensionTable) {
        if (!SameText(extension, row.extension)) continue;
        *containerOut = *row.container;
        if (row.microsoftCodec) *vendorOut = GUID_VendorMicrosoft;
        return true;
    }
    return false;
}

bool IsRawContainerFormat(REFGUID container)
{
    for (const GUID* raw : RawContainers) {
        if (IsEqualGUID(container, *raw)) return true;
    }
    return false;
}

const wchar_t* PrefixApp1Query(bool rootIfdContainer, const wchar_t* path, wchar_t* buffer, size_t count)
{
    return rootIfdContainer ? path : PrefixQuery(L"/app1", path, buffer, count);
}

const wchar_t* PrefixIfdQuery(bool rootIfdContainer, const wchar_t* path, wchar_t* buffer, size_t count)
{
    return rootIfdContainer ? PrefixQuery(L"/ifd", path, buffer, count) : path;
}
