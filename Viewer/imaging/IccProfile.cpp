#include "Viewer/imaging/IccProfile.h"
#include <cstdint>
#include <cstring>
#include <string>

namespace {
constexpr size_t HeaderSize = 128;
constexpr size_t TagTable = 132;
constexpr size_t TagEntrySize = 12;

uint32_t BigEndian32(const BYTE* p) noexcept
{
    return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

bool IsSignature(const BYTE* p, const char* signature) noexcept
{
    return memcmp(p, signature, 4) == 0;
}

// A "mluc" tag: the first record's UTF-16 big-endian string.
Bstr MultiLocalizedText(const BYTE* bytes, size_t size, size_t tag)
{
    uint64_t length = BigEndian32(bytes + tag + 20);
    uint64_t start = tag + static_cast<uint64_t>(BigEndian32(bytes + tag + 24));
    if (start + length > size) return {};
    std::wstring text(length / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<wchar_t>(bytes[start + 2 * i] << 8 | bytes[start + 2 * i + 1]);
    text.resize(wcslen(text.c_str()));
    return Bstr(text);
}

// A "desc" tag: its ASCII text, converted from the ANSI code page.
Bstr TextDescription(const BYTE* bytes, size_t size, size_t tag)
{
    uint64_t count = BigEndian32(bytes + tag + 8);
    if (tag + 12 + count > size) return {};
    std::string ascii(reinterpret_cast<const char*>(bytes + tag + 12), static_cast<size_t>(count));
    ascii.resize(strlen(ascii.c_str()));
    int length = MultiByteToWideChar(CP_ACP, 0, ascii.data(), static_cast<int>(ascii.size()), nullptr, 0);
    std::wstring text(length, L'\0');
    MultiByteToWideChar(CP_ACP, 0, ascii.data(), static_cast<int>(ascii.size()), text.data(), length);
    return Bstr(text);
}
}

Bstr ReadIccProfileDescription(const BYTE* bytes, size_t size)
{
    if (!bytes || size < TagTable || BigEndian32(bytes) != size || !IsSignature(bytes + 36, "acsp")) return {};
    uint32_t tagCount = BigEndian32(bytes + HeaderSize);
    for (uint32_t i = 0; i < tagCount; ++i) {
        size_t entry = TagTable + TagEntrySize * i;
        if (entry + TagEntrySize >= size) break;
        if (!IsSignature(bytes + entry, "desc")) continue;
        size_t tag = BigEndian32(bytes + entry + 4);
        if (tag > size || size - tag < 4) continue;
        // The first description whose type can be read decides.
        if (IsSignature(bytes + tag, "mluc") && tag + 28 <= size) return MultiLocalizedText(bytes, size, tag);
        if (IsSignature(bytes + tag, "desc") && tag + 12 <= size) return TextDescription(bytes, size, tag);
    }
    return {};
}
