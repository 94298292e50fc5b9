#pragma once
// Which WIC container a file extension stands for, which containers are camera raw formats, and the
// query-path prefixes that depend on where a container keeps its EXIF and XMP blocks.
#include <windows.h>
#include <cstddef>

// Containers of camera-format codecs outside the program: only their identifiers are known here.
inline constexpr GUID ContainerFormatNef = {0x466423FC, 0xC8B4, 0x4074, {0x81, 0x02, 0x98, 0x2D, 0x5E, 0x15, 0x21, 0x0F}};
inline constexpr GUID ContainerFormatCr2 = {0xCB9B42B1, 0x840B, 0x4862, {0x92, 0x44, 0xCB, 0xDD, 0x4F, 0xF8, 0xAC, 0x0F}};
inline constexpr GUID ContainerFormatPef = {0xC15F8EF9, 0x8650, 0x4F34, {0x80, 0xD1, 0x2C, 0xE5, 0xB3, 0xAE, 0xB1, 0x7F}};
inline constexpr GUID ContainerFormatOrf = {0xB013F484, 0x2EBA, 0x4A86, {0x95, 0xE1, 0xAB, 0x2F, 0xAD, 0x14, 0x79, 0x05}};
inline constexpr GUID ContainerFormatArw = {0x1D3B9FCD, 0xF3AB, 0x416A, {0x85, 0x69, 0xA4, 0x02, 0x86, 0x8C, 0x36, 0x0F}};
inline constexpr GUID ContainerFormatDng = {0x56C11740, 0xCCD9, 0x4CDD, {0x91, 0x39, 0xBD, 0x5F, 0x89, 0x29, 0x9B, 0xA5}};
inline constexpr GUID ContainerFormatRw2 = {0xAF815A17, 0x3280, 0x42CC, {0xBB, 0x7B, 0x47, 0x5F, 0x62, 0x62, 0xBF, 0x42}};
inline constexpr GUID ContainerFormatTga = {0x7C241004, 0x48B9, 0x4CFF, {0x9E, 0xA2, 0xCB, 0x82, 0x40, 0xE5, 0xCF, 0x88}};
// Second try for CR2 and CRW files.
inline constexpr GUID ContainerFormatRawSecondary = {0x91F7C464, 0x6252, 0x4CE0, {0xB4, 0xE3, 0xFC, 0xC7, 0xA0, 0x7C, 0xC3, 0x22}};
inline constexpr GUID ContainerFormatRawFurther = {0xCBA90BEC, 0x46E4, 0x4CB9, {0x82, 0x4F, 0x41, 0xA0, 0x9A, 0x12, 0x3C, 0x8D}};

// Both outputs are zeroed first; the vendor stays zero for codecs outside the platform.
// Throws E_OUTOFMEMORY when the extension cannot be copied.
bool GetImageFormatFromExtension(const wchar_t* path, GUID* containerOut, GUID* vendorOut);

// NEF is not part of this set: the decode pipeline tests it on its own.
bool IsRawContainerFormat(REFGUID container);

// "/app1" + path in buffer (cut to count - 1 characters) unless the container keeps EXIF in its root IFD.
const wchar_t* PrefixApp1Query(bool rootIfdContainer, const wchar_t* path, wchar_t* buffer, size_t count);
// "/ifd" + path in buffer when the container keeps EXIF in its root IFD, else path itself.
const wchar_t* PrefixIfdQuery(bool rootIfdContainer, const wchar_t* path, wchar_t* buffer, size_t count);
