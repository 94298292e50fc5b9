// Mutated picture files through the whole decode pipeline: whatever the bytes, a decode ends with
// a result and neither crashes nor hangs. A bounded, repeatable stand-in for a coverage-guided
// fuzzer: a fixed seed and a fixed number of mutations of a small sample file, per format.
#include "tests/imaging/DecodeFixture.h"
#include "Framework/ModalSeam.h"
#include "Viewer/imaging/GuardedCopyPixels.h"
#include <random>

namespace {
constexpr int MutationsPerSample = 200;

std::vector<uint8_t> Mutate(std::vector<uint8_t> bytes, std::mt19937& random)
{
    const int edits = 1 + int(random() % 8);
    for (int i = 0; i < edits && !bytes.empty(); ++i) {
        const size_t at = random() % bytes.size();
        switch (random() % 5) {
        case 0: bytes[at] ^= uint8_t(1u << (random() % 8)); break;
        case 1: bytes[at] = uint8_t(random()); break;
        case 2: bytes.resize(at); break;
        case 3: bytes.insert(bytes.begin() + at, size_t(1 + random() % 16), uint8_t(random())); break;
        default: bytes[at] = uint8_t(random() % 2 ? 0xFF : 0x00); break;
        }
    }
    return bytes;
}

struct FuzzSample {
    const char* name;
    GUID container;
    const wchar_t* extension;
    GUID format;
    unsigned seed;
};

std::ostream& operator<<(std::ostream& out, const FuzzSample& sample)
{
    return out << sample.name;
}

// One test per format, so that each runs within its own time limit on a busy machine.
class DecodeFuzz : public DecodeFixture, public testing::WithParamInterface<FuzzSample> {};
}

TEST_P(DecodeFuzz, MutatedFilesEndInAResultWithoutCrashing)
{
    const FuzzSample& sample = GetParam();
    // A codec fault is caught by the guard; the test sees it as a recorded ending, not a dead process.
    int faults = 0;
    ScopedModalSeam seam{ModalSeam{
        .messageBox = [](HWND, const wchar_t*, const wchar_t*, UINT) { return IDOK; },
        .endProcess = [&faults](UINT) { ++faults; },
        .endCurrentThread = [&faults](DWORD) { ++faults; },
    }};
    std::mt19937 random(sample.seed);
    int decoded = 0, refused = 0;
    const std::wstring original = folder.File(std::wstring(L"sample") + sample.extension);
    WriteTestPicture(original, sample.container, {AsymmetricFrame(12, 9, sample.format)});
    const std::vector<uint8_t> bytes = ReadBytes(original);
    ASSERT_FALSE(bytes.empty());
    for (int i = 0; i < MutationsPerSample; ++i) {
        const std::wstring path = folder.File(std::wstring(L"mutant") + sample.extension);
        WriteBytes(path, Mutate(bytes, random));
        std::unique_ptr<Gdiplus::Bitmap> bitmap;
        const HRESULT hr = ToBitmap(path, bitmap);
        EXPECT_TRUE(hr == S_OK || hr == S_FALSE || FAILED(hr)) << std::hex << hr;
        EXPECT_EQ(hr == S_OK, bool(bitmap));
        (hr == S_OK ? decoded : refused)++;
    }
    RecordProperty("codecFaults", faults);
    CodecCrashCount = 0;
    RecordProperty("decoded", decoded);
    RecordProperty("refused", refused);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DecodeFuzz,
    testing::Values(FuzzSample{"Jpeg", GUID_ContainerFormatJpeg, L".jpg", GUID_WICPixelFormat24bppBGR, 20261210},
                    FuzzSample{"Png", GUID_ContainerFormatPng, L".png", GUID_WICPixelFormat32bppBGRA, 20261211},
                    FuzzSample{"Tiff", GUID_ContainerFormatTiff, L".tif", GUID_WICPixelFormat24bppBGR, 20261212},
                    FuzzSample{"Bmp", GUID_ContainerFormatBmp, L".bmp", GUID_WICPixelFormat24bppBGR, 20261213},
                    FuzzSample{"Gif", GUID_ContainerFormatGif, L".gif", GUID_WICPixelFormat8bppIndexed, 20261214}),
    [](const testing::TestParamInfo<FuzzSample>& info) { return std::string(info.param.name); });
