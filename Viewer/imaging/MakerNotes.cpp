#include "Viewer/imaging/MakerNotes.h"
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {
// A blob read in one byte order; every read is checked against its end.
class BlobReader {
public:
    BlobReader(const BYTE* blob, size_t length, bool bigEndian) noexcept
        : m_blob(blob), m_length(length), m_bigEndian(bigEndian)
    {
    }

    bool Has(uint64_t offset, uint64_t size) const noexcept { return offset + size <= m_length; }
    uint16_t U16(size_t offset) const noexcept
    {
        const BYTE* p = m_blob + offset;
        return m_bigEndian ? static_cast<uint16_t>(p[0] << 8 | p[1]) : static_cast<uint16_t>(p[1] << 8 | p[0]);
    }
    uint32_t U32(size_t offset) const noexcept
    {
        const BYTE* p = m_blob + offset;
        return m_bigEndian ? static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]
                           : static_cast<uint32_t>(p[3]) << 24 | p[2] << 16 | p[1] << 8 | p[0];
    }
    BYTE At(size_t offset) const noexcept { return m_blob[offset]; }
    size_t Length() const noexcept { return m_length; }
    bool BigEndian() const noexcept { return m_bigEndian; }

private:
    const BYTE* m_blob;
    size_t m_length;
    bool m_bigEndian;
};

struct IfdEntry {
    uint16_t tag;
    uint16_t type;
    uint32_t count;
    size_t valueOffset;  // where the 4-byte value or offset field starts
};

constexpr uint16_t TypeShort = 3;
constexpr uint16_t TypeUndefined = 7;
constexpr uint16_t TypeIfd = 13;

// Entries of the IFD whose count stands at countOffset, when the whole table lies inside the blob.
template <class Visitor>
bool VisitIfd(const BlobReader& reader, uint64_t countOffset, Visitor&& visit) noexcept
{
    if (!reader.Has(countOffset, 2)) return false;
    uint16_t count = reader.U16(static_cast<size_t>(countOffset));
    if (!reader.Has(countOffset + 2, 12ull * count)) return false;
    for (uint16_t i = 0; i < count; ++i) {
        size_t at = static_cast<size_t>(countOffset + 2 + 12ull * i);
        if (visit(IfdEntry{reader.U16(at), reader.U16(at + 2), reader.U32(at + 4), at + 8})) return true;
    }
    return true;
}

// The value of the IFD's entry with the tag, when it is one SHORT; ColorSpaceNone otherwise.
int SingleShort(const BlobReader& reader, uint64_t countOffset, uint16_t tag) noexcept
{
    int value = ColorSpaceNone;
    VisitIfd(reader, countOffset, [&](const IfdEntry& e) {
        if (e.tag != tag || e.type != TypeShort || e.count != 1) return false;
        value = reader.U16(e.valueOffset);
        return true;
    });
    return value;
}

// The byte order and IFD position of a Nikon type-3 maker note; false for anything else.
bool OpenNikon(const BYTE* blob, size_t length, BlobReader& reader, uint64_t& ifdCount) noexcept
{
    if (!blob || length < 18) return false;
    if (memcmp(blob, "Nikon\0", 6) != 0 || blob[6] != 0x02 || (blob[7] != 0x10 && blob[7] != 0x00) ||
        blob[8] != 0 || blob[9] != 0)
        return false;
    if (memcmp(blob + 10, "MM", 2) == 0) {
        reader = BlobReader(blob, length, true);
    } else if (memcmp(blob + 10, "II", 2) == 0) {
        reader = BlobReader(blob, length, false);
    } else {
        return false;
    }
    ifdCount = 10ull + reader.U32(14);
    return true;
}

// ISO from the ISO-info byte: 2^(b/12 - 5) * 100, to the nearest multiple of 5.
int IsoFromInfoByte(BYTE b) noexcept
{
    double iso = std::trunc(std::pow(2.0, b / 12.0 - 5.0) * 100.0 + 0.5);
    return static_cast<int>(std::trunc((iso + 2.5) * 0.2)) * 5;
}

bool IsDigit(BYTE b) noexcept
{
    return b >= '0' && b <= '9';
}
}

int ReadNikonIso(size_t length, const BYTE* blob) noexcept
{
    BlobReader reader(blob, length, false);
    uint64_t ifd = 0;
    if (!OpenNikon(blob, length, reader, ifd)) return 0;
    int iso = 0;
    VisitIfd(reader, ifd, [&](const IfdEntry& e) {
        if (e.tag == 0x0002 && e.type == TypeShort && e.count == 2) {
            iso = reader.U16(e.valueOffset + 2);
            return true;
        }
        if (e.tag == 0x0025 && reader.BigEndian()) {
            uint32_t offset = reader.U32(e.valueOffset);
            if (static_cast<uint64_t>(offset) + e.count <= length && reader.Has(10ull + offset, 1)) {
                iso = IsoFromInfoByte(reader.At(10 + offset));
                return true;
            }
        }
        return false;
    });
    return iso;
}

int ReadNikonColorSpace(size_t length, const BYTE* blob) noexcept
{
    BlobReader reader(blob, length, false);
    uint64_t ifd = 0;
    if (!OpenNikon(blob, length, reader, ifd)) return ColorSpaceNone;
    return SingleShort(reader, ifd, 0x001E);
}

int ReadCanonColorSpace(size_t length, const BYTE* blob) noexcept
{
    if (!blob || length < 2) return ColorSpaceNone;
    BlobReader reader(blob, length, false);
    return SingleShort(reader, 0, 0x00B4);
}

int ReadOlympusColorSpace(size_t length, const BYTE* blob) noexcept
{
    if (!blob || length < 12) return ColorSpaceNone;
    BlobReader reader(blob, length, false);
    unsigned version = 0;
    uint64_t ifd = 0;
    if (memcmp(blob, "OLYMPUS\0", 8) == 0) {
        reader = BlobReader(blob, length, memcmp(blob + 8, "MM", 2) == 0);
        version = reader.U16(10);
        ifd = 12;
    } else if (memcmp(blob, "OLYMP\0", 6) == 0) {
        version = reader.U16(6);
        ifd = 8;
    } else {
        return ColorSpaceNone;
    }

    // The camera-settings sub-directory's length; the directory itself is found by its content.
    uint32_t settingsLength = 0;
    bool hasSettings = false;
    VisitIfd(reader, ifd, [&](const IfdEntry& e) {
        if (e.tag != 0x2020 || (e.type != TypeUndefined && e.type != TypeIfd)) return false;
        settingsLength = e.count;
        hasSettings = true;
        return true;
    });
    if (!hasSettings) return ColorSpaceNone;

    // Its first entry: tag 0, type UNDEFINED, count 4 (the version text).
    static const BYTE bigEndianEntry[8] = {0, 0, 0, 7, 0, 0, 0, 4};
    static const BYTE littleEndianEntry[8] = {0, 0, 7, 0, 4, 0, 0, 0};
    const BYTE* pattern = reader.BigEndian() ? bigEndianEntry : littleEndianEntry;
    for (const BYTE* hit = FindPattern8(blob, length, pattern); hit;
         hit = FindPattern8(hit + 1, length - (hit + 1 - blob), pattern)) {
        size_t p = hit - blob;
        bool accepted = p >= 2 && p + 3 <= length && reader.Has(p + 8, 3) && IsDigit(blob[p + 8]) &&
                        IsDigit(blob[p + 9]) && IsDigit(blob[p + 10]) &&
                        (version > 2 || reader.U16(p - 2) == settingsLength / 12);
        if (!accepted) continue;
        int space = ColorSpaceNone;
        uint16_t count = reader.U16(p - 2);
        for (uint16_t i = 0; i < count && reader.Has(p + 12ull * i, 12); ++i) {
            size_t at = p + 12ull * i;
            if (reader.U16(at) == 0x0507 && reader.U16(at + 2) == TypeShort && reader.U32(at + 4) == 1) {
                space = reader.U16(at + 8) + 1;
                break;
            }
        }
        if (space != ColorSpaceNone) return space;
    }
    return ColorSpaceNone;
}

const BYTE* FindPattern8(const BYTE* buffer, size_t length, const BYTE* pattern) noexcept
{
    if (!buffer || !pattern || length < 8) return nullptr;
    const BYTE* end = buffer + length;
    for (const BYTE* at = buffer; at < end;) {
        at = static_cast<const BYTE*>(memchr(at, pattern[0], end - at));
        if (!at || end - at < 8) return nullptr;
        if (memcmp(at, pattern, 8) == 0) return at;
        ++at;
    }
    return nullptr;
}
