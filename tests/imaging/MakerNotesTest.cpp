#include "Viewer/imaging/MakerNotes.h"
#include <gtest/gtest.h>
#include <vector>

namespace {
using Bytes = std::vector<BYTE>;

void Put16(Bytes& b, unsigned v, bool big)
{
    if (big) b.insert(b.end(), {BYTE(v >> 8), BYTE(v)});
    else b.insert(b.end(), {BYTE(v), BYTE(v >> 8)});
}

void Put32(Bytes& b, unsigned v, bool big)
{
    if (big) b.insert(b.end(), {BYTE(v >> 24), BYTE(v >> 16), BYTE(v >> 8), BYTE(v)});
    else b.insert(b.end(), {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)});
}

struct Entry {
    unsigned tag, type, count, value;
    bool shortValue = false;  // a SHORT value sits in the first two bytes of the field
};

void PutEntry(Bytes& b, const Entry& e, bool big)
{
    Put16(b, e.tag, big);
    Put16(b, e.type, big);
    Put32(b, e.count, big);
    if (e.shortValue) {
        Put16(b, e.value, big);
        Put16(b, 0, big);
    } else {
        Put32(b, e.value, big);
    }
}

void PutIfd(Bytes& b, const std::vector<Entry>& entries, bool big)
{
    Put16(b, static_cast<unsigned>(entries.size()), big);
    for (const Entry& e : entries) PutEntry(b, e, big);
}

// A Nikon type-3 note with its IFD right after the header (TIFF base 10, IFD offset 8).
Bytes Nikon(bool big, const std::vector<Entry>& entries, const Bytes& after = {})
{
    Bytes b = {'N', 'i', 'k', 'o', 'n', 0, 0x02, 0x10, 0, 0, BYTE(big ? 'M' : 'I'), BYTE(big ? 'M' : 'I')};
    Put16(b, 0x2A, big);
    Put32(b, 8, big);
    PutIfd(b, entries, big);
    b.insert(b.end(), after.begin(), after.end());
    return b;
}

int Iso(const Bytes& b) { return ReadNikonIso(b.size(), b.data()); }
}

TEST(MakerNotes, NikonIsoFromTheIsoEntryOrTheIsoInfoByte)
{
    // The ISO entry holds two SHORTs: the second is the ISO.
    Bytes le = Nikon(false, {{0x0002, 3, 2, 400u << 16}});
    EXPECT_EQ(400, Iso(le));
    Bytes be = Nikon(true, {{0x0002, 3, 2, 0x00000320}});
    EXPECT_EQ(800, Iso(be));

    // The ISO-info byte sits right after the one entry: TIFF offset 22 (blob offset 32).
    for (auto [b, iso] : {std::pair{84, 400}, {90, 565}, {96, 800}}) {
        Bytes info = Nikon(true, {{0x0025, 7, 1, 22}}, {BYTE(b)});
        EXPECT_EQ(iso, Iso(info)) << b;
    }
    EXPECT_EQ(0, Iso(Nikon(false, {{0x0025, 7, 1, 22}}, {84}))) << "ISO info is read from big-endian notes only";
    EXPECT_EQ(0, Iso(Nikon(true, {{0x0025, 7, 1, 23}}, {84}))) << "byte past the end";
    EXPECT_EQ(0, Iso(Nikon(true, {{0x0002, 3, 1, 400}}))) << "wrong count";
}

TEST(MakerNotes, NikonRejectsMalformedNotes)
{
    Bytes good = Nikon(true, {{0x001E, 3, 1, 2, true}});
    EXPECT_EQ(2, ReadNikonColorSpace(good.size(), good.data()));
    Bytes little = Nikon(false, {{0x001E, 3, 1, 1, true}});
    EXPECT_EQ(1, ReadNikonColorSpace(little.size(), little.data()));

    struct { size_t at; BYTE value; } corruptions[] = {{0, 'n'}, {5, 'x'}, {6, 0x03}, {7, 0x20}, {9, 1}, {10, 'X'}};
    for (auto c : corruptions) {
        Bytes bad = good;
        bad[c.at] = c.value;
        EXPECT_EQ(-1, ReadNikonColorSpace(bad.size(), bad.data())) << c.at;
    }
    Bytes tooMany = good;
    tooMany[19] = 2;  // two entries announced, one present
    EXPECT_EQ(-1, ReadNikonColorSpace(tooMany.size(), tooMany.data()));
    Bytes farIfd = good;
    farIfd[14] = 0x7F;  // IFD offset far past the end
    EXPECT_EQ(-1, ReadNikonColorSpace(farIfd.size(), farIfd.data()));
    EXPECT_EQ(-1, ReadNikonColorSpace(17, good.data()));
    EXPECT_EQ(-1, ReadNikonColorSpace(0, nullptr));
    EXPECT_EQ(0, ReadNikonIso(0, nullptr));
}

TEST(MakerNotes, CanonColourSpaceFromItsBareIfd)
{
    Bytes b;
    PutIfd(b, {{0x0001, 3, 4, 0}, {0x00B4, 3, 1, 2, true}}, false);
    EXPECT_EQ(2, ReadCanonColorSpace(b.size(), b.data()));
    EXPECT_EQ(-1, ReadCanonColorSpace(b.size() - 1, b.data())) << "table must fit";
    Bytes other;
    PutIfd(other, {{0x00B4, 4, 1, 2}}, false);
    EXPECT_EQ(-1, ReadCanonColorSpace(other.size(), other.data())) << "type must be SHORT";
    EXPECT_EQ(-1, ReadCanonColorSpace(1, b.data()));
}

namespace {
// An Olympus note: the header, an IFD pointing at the camera settings (length settingsLength), then
// the settings sub-directory with its version entry and the colour-space entry.
Bytes Olympus(bool newHeader, bool big, unsigned version, unsigned settingsLength, unsigned settingsCount,
              unsigned colorSpace, const Bytes& decoy = {})
{
    Bytes b;
    if (newHeader) {
        b = {'O', 'L', 'Y', 'M', 'P', 'U', 'S', 0, BYTE(big ? 'M' : 'I'), BYTE(big ? 'M' : 'I')};
        Put16(b, version, big);
    } else {
        b = {'O', 'L', 'Y', 'M', 'P', 0};
        Put16(b, version, false);
    }
    PutIfd(b, {{0x2020, 13, settingsLength, 0}}, big);
    b.insert(b.end(), decoy.begin(), decoy.end());
    Put16(b, settingsCount, big);
    Put16(b, 0, big);  // version entry: tag 0, UNDEFINED, count 4, "0100"
    Put16(b, 7, big);
    Put32(b, 4, big);
    b.insert(b.end(), {'0', '1', '0', '0'});
    PutEntry(b, {0x0507, 3, 1, colorSpace, true}, big);
    return b;
}
}

TEST(MakerNotes, OlympusColourSpaceFoundByTheSettingsContent)
{
    Bytes newLe = Olympus(true, false, 3, 999, 2, 2);
    EXPECT_EQ(3, ReadOlympusColorSpace(newLe.size(), newLe.data())) << "value 2 is ProPhoto";
    Bytes newBe = Olympus(true, true, 3, 999, 2, 0);
    EXPECT_EQ(1, ReadOlympusColorSpace(newBe.size(), newBe.data()));

    // Old notes (version 2 and below) must have the count that the settings length announces.
    Bytes old = Olympus(false, false, 1, 24, 2, 1);
    EXPECT_EQ(2, ReadOlympusColorSpace(old.size(), old.data()));
    Bytes mismatch = Olympus(false, false, 1, 36, 2, 1);
    EXPECT_EQ(-1, ReadOlympusColorSpace(mismatch.size(), mismatch.data()));

    // A rejected look-alike before the real directory (its version text is no digits).
    Bytes decoy = {9, 0, 0, 0, 7, 0, 4, 0, 0, 0, 'v', 'x', 'y', 'z'};
    Bytes withDecoy = Olympus(false, false, 1, 24, 2, 1, decoy);
    EXPECT_EQ(2, ReadOlympusColorSpace(withDecoy.size(), withDecoy.data()));

    Bytes noColour = Olympus(true, false, 3, 999, 1, 1);
    EXPECT_EQ(-1, ReadOlympusColorSpace(noColour.size(), noColour.data())) << "entries past the count are not read";
    Bytes wrongHeader = newLe;
    wrongHeader[4] = 'X';
    EXPECT_EQ(-1, ReadOlympusColorSpace(wrongHeader.size(), wrongHeader.data()));
    EXPECT_EQ(-1, ReadOlympusColorSpace(11, newLe.data()));
}

TEST(MakerNotes, FindPattern8)
{
    const BYTE pattern[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const BYTE buffer[] = {1, 2, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2, 3, 4, 5, 6, 7};
    EXPECT_EQ(buffer + 3, FindPattern8(buffer, sizeof buffer, pattern));
    EXPECT_EQ(nullptr, FindPattern8(buffer + 4, sizeof buffer - 4, pattern)) << "a hit with fewer than 8 bytes left";
    EXPECT_EQ(nullptr, FindPattern8(buffer, 7, pattern));
    EXPECT_EQ(nullptr, FindPattern8(nullptr, 20, pattern));
    EXPECT_EQ(nullptr, FindPattern8(buffer, sizeof buffer, nullptr));
}
