// Writes the two ICC version 2.1 display profiles the program carries for camera previews whose
// maker note names their colour space: Adobe RGB (1998) and ProPhoto RGB, each built from the colour
// space's published primaries, white point and tone curve.
// Usage: IccProfileGenerator <Adobe RGB file> <ProPhoto RGB file> (paths relative to the working folder)
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {
using Matrix = std::array<std::array<double, 3>, 3>;
using Vector = std::array<double, 3>;

struct Chromaticity {
    double x, y;
};

struct ColourSpace {
    const char* description;
    Chromaticity red, green, blue, white;
    uint16_t gammaFixed8;  // the tone curve's gamma as an unsigned 8.8 number
};

// The profile connection space's white (D50), as the ICC fixes it.
const Vector PcsWhite = {0.9642, 1.0, 0.8249};

Vector ToXyz(Chromaticity c)
{
    return {c.x / c.y, 1.0, (1.0 - c.x - c.y) / c.y};
}

Matrix Multiply(const Matrix& a, const Matrix& b)
{
    Matrix r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) r[i][j] += a[i][k] * b[k][j];
    return r;
}

Vector Apply(const Matrix& m, const Vector& v)
{
    Vector r{};
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k) r[i] += m[i][k] * v[k];
    return r;
}

Matrix Inverse(const Matrix& m)
{
    double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                 m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    Matrix r;
    r[0][0] = (m[1][1] * m[2][2] - m[1][2] * m[2][1]) / det;
    r[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) / det;
    r[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) / det;
    r[1][0] = (m[1][2] * m[2][0] - m[1][0] * m[2][2]) / det;
    r[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / det;
    r[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / det;
    r[2][0] = (m[1][0] * m[2][1] - m[1][1] * m[2][0]) / det;
    r[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / det;
    r[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / det;
    return r;
}

// RGB to XYZ under the space's own white, adapted to D50 with the Bradford transform: its columns
// are the colorants of the profile.
Matrix ColorantMatrix(const ColourSpace& space)
{
    Vector r = ToXyz(space.red), g = ToXyz(space.green), b = ToXyz(space.blue), w = ToXyz(space.white);
    Matrix primaries = {{{r[0], g[0], b[0]}, {r[1], g[1], b[1]}, {r[2], g[2], b[2]}}};
    Vector scale = Apply(Inverse(primaries), w);
    Matrix rgbToXyz = primaries;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) rgbToXyz[i][j] *= scale[j];

    const Matrix bradford = {{{0.8951, 0.2664, -0.1614}, {-0.7502, 1.7135, 0.0367}, {0.0389, -0.0685, 1.0296}}};
    Vector source = Apply(bradford, w), target = Apply(bradford, PcsWhite);
    Matrix gain{};
    for (int i = 0; i < 3; ++i) gain[i][i] = target[i] / source[i];
    Matrix adapt = Multiply(Inverse(bradford), Multiply(gain, bradford));
    return Multiply(adapt, rgbToXyz);
}

class Writer {
public:
    void U8(uint8_t v) { m_bytes.push_back(v); }
    void U16(uint16_t v) { U8(v >> 8), U8(v & 0xFF); }
    void U32(uint32_t v) { U16(v >> 16), U16(v & 0xFFFF); }
    void S15Fixed16(double v) { U32(static_cast<uint32_t>(static_cast<int32_t>(std::lround(v * 65536.0)))); }
    void Signature(const char* s) { for (int i = 0; i < 4; ++i) U8(static_cast<uint8_t>(s[i])); }
    void Zeros(size_t n) { m_bytes.insert(m_bytes.end(), n, 0); }
    void Align4() { while (m_bytes.size() % 4) U8(0); }
    void Patch32(size_t at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i) m_bytes[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
    }
    size_t Size() const { return m_bytes.size(); }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

struct Tag {
    const char* signature;
    std::vector<uint8_t> data;
};

std::vector<uint8_t> TextDescription(const char* text)
{
    Writer w;
    w.Signature("desc");
    w.Zeros(4);
    std::string ascii = text;
    w.U32(static_cast<uint32_t>(ascii.size() + 1));
    for (char c : ascii) w.U8(static_cast<uint8_t>(c));
    w.U8(0);
    w.U32(0);   // Unicode language
    w.U32(0);   // Unicode count
    w.U16(0);   // ScriptCode code
    w.U8(0);    // ScriptCode count
    w.Zeros(67);
    return w.Bytes();
}

std::vector<uint8_t> Text(const char* text)
{
    Writer w;
    w.Signature("text");
    w.Zeros(4);
    for (const char* c = text; *c; ++c) w.U8(static_cast<uint8_t>(*c));
    w.U8(0);
    return w.Bytes();
}

std::vector<uint8_t> Xyz(const Vector& v)
{
    Writer w;
    w.Signature("XYZ ");
    w.Zeros(4);
    for (double c : v) w.S15Fixed16(c);
    return w.Bytes();
}

std::vector<uint8_t> Gamma(uint16_t gammaFixed8)
{
    Writer w;
    w.Signature("curv");
    w.Zeros(4);
    w.U32(1);
    w.U16(gammaFixed8);
    return w.Bytes();
}

std::vector<uint8_t> Profile(const ColourSpace& space)
{
    Matrix colorants = ColorantMatrix(space);
    std::vector<uint8_t> curve = Gamma(space.gammaFixed8);
    const Tag tags[] = {
        {"desc", TextDescription(space.description)},
        {"cprt", Text("No copyright, use freely")},
        {"wtpt", Xyz(ToXyz(space.white))},
        {"rXYZ", Xyz({colorants[0][0], colorants[1][0], colorants[2][0]})},
        {"gXYZ", Xyz({colorants[0][1], colorants[1][1], colorants[2][1]})},
        {"bXYZ", Xyz({colorants[0][2], colorants[1][2], colorants[2][2]})},
        {"rTRC", curve},
        {"gTRC", curve},
        {"bTRC", curve},
    };
    const uint32_t tagCount = sizeof tags / sizeof tags[0];

    Writer w;
    w.U32(0);  // size, patched below
    w.U32(0);  // preferred CMM
    w.U32(0x02100000);
    w.Signature("mntr");
    w.Signature("RGB ");
    w.Signature("XYZ ");
    for (uint16_t part : {2026, 1, 1, 0, 0, 0}) w.U16(part);
    w.Signature("acsp");
    w.Zeros(4 + 4 + 4 + 4 + 8);  // platform, flags, manufacturer, model, attributes
    w.U32(0);                    // perceptual intent
    for (double c : PcsWhite) w.S15Fixed16(c);
    w.Zeros(4 + 44);  // creator, reserved
    w.U32(tagCount);
    size_t table = w.Size();
    w.Zeros(12 * tagCount);

    // The three tone curves share one copy of their data.
    uint32_t curveOffset = 0;
    for (uint32_t i = 0; i < tagCount; ++i) {
        bool sharedCurve = tags[i].data == curve && curveOffset != 0;
        uint32_t offset = sharedCurve ? curveOffset : static_cast<uint32_t>(w.Size());
        if (!sharedCurve) {
            for (uint8_t b : tags[i].data) w.U8(b);
            w.Align4();
            if (tags[i].data == curve) curveOffset = offset;
        }
        w.Patch32(table + 12 * i, static_cast<uint32_t>(tags[i].signature[0]) << 24 | tags[i].signature[1] << 16 |
                                      tags[i].signature[2] << 8 | tags[i].signature[3]);
        w.Patch32(table + 12 * i + 4, offset);
        w.Patch32(table + 12 * i + 8, static_cast<uint32_t>(tags[i].data.size()));
    }
    w.Patch32(0, static_cast<uint32_t>(w.Size()));
    return w.Bytes();
}

bool WriteFile(const char* path, const std::vector<uint8_t>& bytes)
{
    FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: IccProfileGenerator <Adobe RGB file> <ProPhoto RGB file>\n");
        return 2;
    }
    // Gamma 563/256 (2.19921875) and 1.8, as the two colour spaces define their curves.
    const ColourSpace adobeRgb = {"Adobe RGB (1998)", {0.64, 0.33}, {0.21, 0.71}, {0.15, 0.06}, {0.3127, 0.3290}, 0x0233};
    const ColourSpace proPhotoRgb = {"ProPhoto RGB", {0.7347, 0.2653}, {0.1596, 0.8404}, {0.0366, 0.0001},
                                     {0.3457, 0.3585}, 0x01CD};
    if (!WriteFile(argv[1], Profile(adobeRgb)) || !WriteFile(argv[2], Profile(proPhotoRgb))) {
        std::fprintf(stderr, "IccProfileGenerator: cannot write the profiles\n");
        return 1;
    }
    return 0;
}
