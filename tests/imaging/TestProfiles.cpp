#include "tests/imaging/TestProfiles.h"
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace {
void Put32(ByteVector& b, uint32_t v)
{
    b.insert(b.end(), {BYTE(v >> 24), BYTE(v >> 16), BYTE(v >> 8), BYTE(v)});
}

void Append(ByteVector& b, const std::string& text)
{
    b.insert(b.end(), text.begin(), text.end());
}

uint32_t Crc32(const BYTE* data, size_t size, uint32_t crc = 0)
{
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

// A zlib stream of stored (uncompressed) blocks.
ByteVector Zlib(const ByteVector& data)
{
    ByteVector out = {0x78, 0x01};
    size_t at = 0;
    do {
        size_t n = std::min<size_t>(data.size() - at, 65535);
        bool last = at + n == data.size();
        out.insert(out.end(), {BYTE(last ? 1 : 0), BYTE(n), BYTE(n >> 8), BYTE(~n), BYTE(~n >> 8)});
        out.insert(out.end(), data.begin() + at, data.begin() + at + n);
        at += n;
    } while (at < data.size());
    uint32_t a = 1, b = 0;
    for (BYTE byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    Put32(out, b << 16 | a);
    return out;
}

void Chunk(ByteVector& png, const char* type, const ByteVector& data)
{
    Put32(png, static_cast<uint32_t>(data.size()));
    ByteVector typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    png.insert(png.end(), typed.begin(), typed.end());
    Put32(png, Crc32(typed.data(), typed.size()));
}
}

ByteVector ProgramResource(UINT id)
{
    HMODULE program = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(program, MAKEINTRESOURCEW(id), RT_RCDATA);
    if (!resource) throw std::runtime_error("resource missing");
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(program, resource)));
    return ByteVector(bytes, bytes + SizeofResource(program, resource));
}

ByteVector ProfileWithDescription(const std::string& type, const std::wstring& text)
{
    ByteVector p(128, 0);
    memcpy(&p[36], "acsp", 4);
    Put32(p, 1);
    Append(p, "desc");
    Put32(p, 144);  // tag data right after the table
    Put32(p, 0);    // size, patched below
    size_t tag = p.size();
    Append(p, type);
    Put32(p, 0);
    if (type == "mluc") {
        Put32(p, 1);   // one record
        Put32(p, 12);  // record size
        Append(p, "enUS");
        Put32(p, static_cast<uint32_t>(text.size() * 2));
        Put32(p, 28);
        for (wchar_t c : text) p.insert(p.end(), {BYTE(c >> 8), BYTE(c)});
    } else {
        Put32(p, static_cast<uint32_t>(text.size() + 1));
        for (wchar_t c : text) p.push_back(static_cast<BYTE>(c));
        p.push_back(0);
    }
    uint32_t tagSize = static_cast<uint32_t>(p.size() - tag);
    for (int i = 0; i < 4; ++i) p[140 + i] = BYTE(tagSize >> (24 - 8 * i));
    uint32_t size = static_cast<uint32_t>(p.size());
    for (int i = 0; i < 4; ++i) p[i] = BYTE(size >> (24 - 8 * i));
    return p;
}

ByteVector SrgbNamedProfile()
{
    // "Adobe RGB (1998)" and "sRGB IEC61966-2" have the same length.
    ByteVector p = ProgramResource(238);
    const std::string from = "Adobe RGB (1998)", to = "sRGB IEC61966-2 ";
    auto at = std::search(p.begin(), p.end(), from.begin(), from.end());
    if (at == p.end()) throw std::runtime_error("description missing");
    std::copy(to.begin(), to.end(), at);
    return p;
}

void WritePngWithProfile(const std::wstring& path, const ByteVector& profile)
{
    ByteVector png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ByteVector header;
    Put32(header, 2);
    Put32(header, 2);
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    Chunk(png, "IHDR", header);
    ByteVector iccp;
    Append(iccp, "Embedded");
    iccp.insert(iccp.end(), {0, 0});  // name terminator, deflate
    ByteVector compressed = Zlib(profile);
    iccp.insert(iccp.end(), compressed.begin(), compressed.end());
    Chunk(png, "iCCP", iccp);
    Chunk(png, "IDAT", Zlib({0, 200, 30, 30, 30, 200, 30, 0, 30, 30, 200, 200, 200, 200}));
    Chunk(png, "IEND", {});
    std::ofstream(path.c_str(), std::ios::binary).write(reinterpret_cast<const char*>(png.data()), png.size());
}

namespace {
void Put16Le(ByteVector& b, uint32_t v)
{
    b.insert(b.end(), {BYTE(v), BYTE(v >> 8)});
}

void Put32Le(ByteVector& b, uint32_t v)
{
    b.insert(b.end(), {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)});
}

// One IFD entry whose value fits in its 4-byte field.
void PutEntry(ByteVector& b, uint16_t tag, uint16_t type, uint32_t count, uint32_t value)
{
    Put16Le(b, tag);
    Put16Le(b, type);
    Put32Le(b, count);
    Put32Le(b, value);
}
}

void WriteTiffWithProfile(const std::wstring& path, const ByteVector& profile)
{
    constexpr uint16_t Short = 3, Long = 4, Undefined = 7;
    constexpr uint32_t entries = 11;
    const uint32_t ifdEnd = 8 + 2 + 12 * entries + 4;
    const uint32_t bitsAt = ifdEnd, profileAt = bitsAt + 6;
    const uint32_t pixelsAt = profileAt + static_cast<uint32_t>((profile.size() + 1) & ~size_t(1));
    const ByteVector pixels = {200, 30, 30, 30, 200, 30, 30, 30, 200, 200, 200, 200};

    ByteVector file = {'I', 'I', 42, 0, 8, 0, 0, 0};
    Put16Le(file, entries);
    PutEntry(file, 256, Short, 1, 2);  // width
    PutEntry(file, 257, Short, 1, 2);  // height
    PutEntry(file, 258, Short, 3, bitsAt);
    PutEntry(file, 259, Short, 1, 1);  // no compression
    PutEntry(file, 262, Short, 1, 2);  // RGB
    PutEntry(file, 273, Long, 1, pixelsAt);
    PutEntry(file, 277, Short, 1, 3);
    PutEntry(file, 278, Short, 1, 2);
    PutEntry(file, 279, Long, 1, static_cast<uint32_t>(pixels.size()));
    PutEntry(file, 284, Short, 1, 1);  // chunky
    PutEntry(file, 34675, Undefined, static_cast<uint32_t>(profile.size()), profileAt);
    Put32Le(file, 0);
    for (int i = 0; i < 3; ++i) Put16Le(file, 8);
    file.insert(file.end(), profile.begin(), profile.end());
    file.resize(pixelsAt);
    file.insert(file.end(), pixels.begin(), pixels.end());
    std::ofstream(path.c_str(), std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
}
