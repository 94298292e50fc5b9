// Damaged picture files through the whole decode pipeline as the viewer calls it (an ImageInfo,
// colour management, orientation and downscaling on, both the surface and the bitmap road). A
// bounded, repeatable stand-in for a coverage-guided fuzzer: per format, a fixed seed and a fixed
// number of mutants of a small sample, damaged byte by byte and in its structure (truncated, junk
// inserted, header sizes and directory entries changed). Every decode must end, within its time,
// in a result (an image of the size it reports, or a refusal that stores nothing) or in the guarded
// ending of a handler that faulted (the message naming the file); the program lives throughout.
#include "tests/imaging/DecodeFixture.h"
#include "Framework/ModalSeam.h"
#include "Framework/UniqueHandle.h"
#include "Viewer/imaging/GuardedCopyPixels.h"
#include "Viewer/imaging/WicFactory.h"
#include <gmock/gmock.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <random>
#include <sstream>

namespace {
constexpr int MutantsPerSample = 120;
// Far beyond any decode of these small samples: a decode that takes this long has hung.
constexpr ULONGLONG DecodeTimeLimitMs = 30000;
// What the viewer passes by default: a limit of 112 MB.
constexpr DWORD ViewerDownscaleSetting = 112;

// A field of a file's structure: where it is and how it is stored.
struct Field {
    size_t at;
    int bytes;  // 1, 2 or 4
    bool bigEndian;
};

// The fields a structural mutation changes: the sizes a header claims, and the entries of a
// directory (a TIFF image directory, an icon directory, a PNG or JPEG segment table).
struct Layout {
    std::vector<Field> sizes;
    std::vector<Field> entries;
};

uint32_t Get(const std::vector<uint8_t>& b, Field f)
{
    if (f.at + f.bytes > b.size()) return 0;
    uint32_t v = 0;
    for (int i = 0; i < f.bytes; ++i) {
        const uint32_t byte = b[f.at + i];
        v |= f.bigEndian ? byte << (8 * (f.bytes - 1 - i)) : byte << (8 * i);
    }
    return v;
}

void Put(std::vector<uint8_t>& b, Field f, uint32_t v)
{
    if (f.at + f.bytes > b.size()) return;
    for (int i = 0; i < f.bytes; ++i) {
        const int shift = f.bigEndian ? 8 * (f.bytes - 1 - i) : 8 * i;
        b[f.at + i] = uint8_t(v >> shift);
    }
}

Layout BmpLayout(const std::vector<uint8_t>& b, size_t base = 0, bool withFileHeader = true)
{
    Layout layout;
    if (withFileHeader) layout.sizes = {{base + 2, 4, false}, {base + 10, 4, false}};
    const size_t info = base + (withFileHeader ? 14 : 0);
    for (Field f : {Field{info, 4, false}, Field{info + 4, 4, false}, Field{info + 8, 4, false},
                    Field{info + 14, 2, false}, Field{info + 20, 4, false}, Field{info + 32, 4, false}})
        if (f.at + f.bytes <= b.size()) layout.sizes.push_back(f);
    return layout;
}

Layout PngLayout(const std::vector<uint8_t>& b)
{
    Layout layout;
    layout.sizes = {{16, 4, true}, {20, 4, true}, {24, 1, false}, {25, 1, false}};
    for (size_t at = 8; at + 12 <= b.size(); at += 12 + Get(b, {at, 4, true}))
        layout.entries.push_back({at, 4, true});
    return layout;
}

Layout JpegLayout(const std::vector<uint8_t>& b)
{
    Layout layout;
    for (size_t at = 2; at + 4 <= b.size() && b[at] == 0xFF;) {
        const uint8_t marker = b[at + 1];
        if (marker == 0xDA) break;  // the entropy-coded data follows
        layout.entries.push_back({at + 2, 2, true});
        if (marker == 0xC0 || marker == 0xC2)
            layout.sizes.insert(layout.sizes.end(), {{at + 5, 2, true}, {at + 7, 2, true}, {at + 9, 1, false}});
        at += 2 + Get(b, {at + 2, 2, true});
    }
    return layout;
}

Layout GifLayout(const std::vector<uint8_t>& b)
{
    Layout layout;
    layout.sizes = {{6, 2, false}, {8, 2, false}, {10, 1, false}};
    const uint8_t packed = b.size() > 10 ? b[10] : 0;
    const size_t descriptor = 13 + ((packed & 0x80) ? 3u << ((packed & 7) + 1) : 0);
    for (size_t at = descriptor; at + 10 <= b.size(); ++at)
        if (b[at] == 0x2C) {
            layout.entries = {{at + 1, 2, false}, {at + 3, 2, false}, {at + 5, 2, false}, {at + 7, 2, false},
                              {at + 9, 1, false}};
            break;
        }
    return layout;
}

// Every image directory of a little-endian TIFF: each entry's type, count and value; the
// picture's sizes and strips among them also count as header sizes.
Layout TiffLayout(const std::vector<uint8_t>& b)
{
    Layout layout;
    layout.sizes = {{4, 4, false}};
    size_t ifd = Get(b, {4, 4, false});
    for (int directories = 0; ifd && ifd + 2 <= b.size() && directories < 8; ++directories) {
        const uint32_t count = Get(b, {ifd, 2, false});
        for (uint32_t i = 0; i < count && ifd + 2 + 12 * (i + 1) <= b.size(); ++i) {
            const size_t entry = ifd + 2 + 12 * i;
            const uint32_t tag = Get(b, {entry, 2, false});
            layout.entries.insert(layout.entries.end(), {{entry + 2, 2, false}, {entry + 4, 4, false}, {entry + 8, 4, false}});
            if (tag == 256 || tag == 257 || tag == 258 || tag == 273 || tag == 278 || tag == 279)
                layout.sizes.push_back({entry + 8, 4, false});
        }
        layout.entries.push_back({ifd, 2, false});
        ifd = Get(b, {ifd + 2 + 12 * size_t(count), 4, false});
    }
    return layout;
}

Layout IcoLayout(const std::vector<uint8_t>& b)
{
    Layout layout;
    layout.entries = {{4, 2, false}};
    const uint32_t count = Get(b, {4, 2, false});
    for (uint32_t i = 0; i < count && 6 + 16 * (i + 1) <= b.size(); ++i) {
        const size_t entry = 6 + 16 * i;
        layout.entries.insert(layout.entries.end(), {{entry, 1, false}, {entry + 1, 1, false}, {entry + 6, 2, false},
                                                     {entry + 8, 4, false}, {entry + 12, 4, false}});
        const Layout image = BmpLayout(b, Get(b, {entry + 12, 4, false}), false);
        layout.sizes.insert(layout.sizes.end(), image.sizes.begin(), image.sizes.end());
    }
    return layout;
}

// PNG readers check each chunk's checksum first; damage behind a valid checksum reaches the codec.
uint32_t Crc32(const uint8_t* data, size_t size)
{
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void RepairPngChecksums(std::vector<uint8_t>& b)
{
    for (size_t at = 8; at + 12 <= b.size();) {
        const uint32_t length = Get(b, {at, 4, true});
        if (length > b.size() - at - 12) return;
        Put(b, {at + 8 + length, 4, true}, Crc32(&b[at + 4], 4 + size_t(length)));
        at += 12 + length;
    }
}

// Values that sizes and counts go wrong with: none, one, sign bits, all ones, just past a power of
// two, off by one, or any below 4096. (Random values of any size would mostly make valid pictures of
// hundreds of megapixels, whose decoding only takes long.)
uint32_t ExtremeValue(std::mt19937& random, uint32_t original)
{
    const uint32_t values[] = {0,      1,      0x7F,       0x80,       0xFF,       0x7FFF, 0x8000,
                               0xFFFF, 0x10001, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, original + 1,
                               original - 1, original * 2, uint32_t(random() % 4096)};
    return values[random() % std::size(values)];
}

std::vector<uint8_t> Mutate(std::vector<uint8_t> bytes, const Layout& layout, std::mt19937& random)
{
    // Structure first, while the layout's places are still where they were.
    const int structural = int(random() % 3);
    for (int i = 0; i < structural; ++i) {
        const std::vector<Field>& fields = random() % 2 && !layout.entries.empty() ? layout.entries : layout.sizes;
        if (fields.empty()) continue;
        const Field f = fields[random() % fields.size()];
        Put(bytes, f, ExtremeValue(random, Get(bytes, f)));
    }
    const int edits = structural ? int(random() % 3) : 1 + int(random() % 6);
    for (int i = 0; i < edits && !bytes.empty(); ++i) {
        const size_t at = random() % bytes.size();
        switch (random() % 5) {
        case 0: bytes[at] ^= uint8_t(1u << (random() % 8)); break;
        case 1: bytes[at] = uint8_t(random()); break;
        case 2: bytes.resize(at); break;
        case 3: bytes.insert(bytes.begin() + at, size_t(1 + random() % 64), uint8_t(random())); break;
        default: bytes[at] = uint8_t(random() % 2 ? 0xFF : 0x00); break;
        }
    }
    return bytes;
}

// An icon of one 32-bit image, which the platform has no encoder for: directory, then the image
// as a bitmap of twice its height (colours, then the transparency mask).
std::vector<uint8_t> IconFile(UINT size)
{
    const TestFrame frame = AsymmetricFrame(size, size, GUID_WICPixelFormat32bppBGRA);
    const uint32_t maskStride = ((size + 31) / 32) * 4;
    const uint32_t imageBytes = 40 + size * size * 4 + maskStride * size;
    std::vector<uint8_t> b(6 + 16 + imageBytes, 0);
    Put(b, {2, 2, false}, 1);
    Put(b, {4, 2, false}, 1);
    b[6] = uint8_t(size), b[7] = uint8_t(size);
    Put(b, {10, 2, false}, 1), Put(b, {12, 2, false}, 32);
    Put(b, {14, 4, false}, imageBytes), Put(b, {18, 4, false}, 22);
    Put(b, {22, 4, false}, 40), Put(b, {26, 4, false}, size), Put(b, {30, 4, false}, 2 * size);
    Put(b, {34, 2, false}, 1), Put(b, {36, 2, false}, 32);
    for (UINT y = 0; y < size; ++y)  // bottom-up rows
        std::memcpy(&b[62 + size_t(size - 1 - y) * size * 4], frame.pixels.data() + size_t(y) * frame.stride, size * 4);
    return b;
}

struct FuzzSample {
    const char* name;
    const wchar_t* extension;
    Layout (*layout)(const std::vector<uint8_t>&);
    unsigned seed;
    int frames;  // mutants ask for pages 0 .. frames - 1 in turn
    // Writes the sample file.
    void (*write)(const std::wstring& path);
};

std::ostream& operator<<(std::ostream& out, const FuzzSample& sample)
{
    return out << sample.name;
}

template <const GUID& Container, const GUID& Format, int Frames = 1>
void WritePlatformSample(const std::wstring& path)
{
    WriteTestPicture(path, Container, std::vector<TestFrame>(Frames, AsymmetricFrame(12, 9, Format)));
}

void WriteIconSample(const std::wstring& path)
{
    WriteBytes(path, IconFile(16));
}

// The decodes run in a child process of this test program, as the viewer runs them: a handler that
// faults there may have damaged the process's heap before it faulted, so after its guarded ending
// (the message, then the end of the process with 0xFFFFFFFF) the process is not trusted with the next
// mutant. The parent starts a new child after each guarded ending and tells a silent death apart.
constexpr wchar_t ChildTest[] = L"DecodeFuzzChild.DISABLED_DecodesTheMutantsItIsGiven";
constexpr wchar_t FolderVariable[] = L"LUMENFOLD_FUZZ_FOLDER";
constexpr wchar_t SampleVariable[] = L"LUMENFOLD_FUZZ_SAMPLE";   // extension, count, frames, first mutant
constexpr char GuardedLine[] = "guarded";

std::wstring MutantPath(const std::wstring& folder, int index, const std::wstring& extension)
{
    return folder + L"\\mutant-" + std::to_wstring(index) + extension;
}

std::wstring LogPath(const std::wstring& folder)
{
    return folder + L"\\decodes.log";
}

// One line of the child's log: "begin i road", "end i road hr stored w h storedW storedH ms" or
// "guarded i road namesFile".
struct LogLine {
    std::string kind;
    int mutant = -1;
    int road = 0;
    unsigned long hr = 0;
    int stored = 0, namesFile = 0;
    unsigned width = 0, height = 0, storedWidth = 0, storedHeight = 0;
    unsigned long long milliseconds = 0;
};

std::vector<LogLine> ReadLog(const std::wstring& folder)
{
    const std::vector<uint8_t> bytes = ReadBytes(LogPath(folder));
    std::istringstream text(std::string(bytes.begin(), bytes.end()));
    std::vector<LogLine> lines;
    for (std::string line; std::getline(text, line);) {
        std::istringstream in(line);
        LogLine l;
        in >> l.kind >> l.mutant >> l.road;
        if (l.kind == "end")
            in >> std::hex >> l.hr >> std::dec >> l.stored >> l.width >> l.height >> l.storedWidth >> l.storedHeight >>
                l.milliseconds;
        else if (l.kind == GuardedLine)
            in >> l.namesFile;
        lines.push_back(l);
    }
    return lines;
}

// The child's log, open for its whole run and shared with the parent that reads it while it grows.
// Each line is written at once, so that a process that dies leaves every line written before.
class ChildLog {
public:
    explicit ChildLog(const std::wstring& folder)
        : m_file(CreateFileW(LogPath(folder).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, 0, nullptr))
    {
    }

    // Takes no memory from the heap: after a handler's fault the heap may be damaged.
    void Append(const char* line) const
    {
        char withEnd[256];
        const int length = std::snprintf(withEnd, sizeof(withEnd), "%s\n", line);
        DWORD written = 0;
        WriteFile(m_file.Get(), withEnd, DWORD(std::min<size_t>(size_t(length), sizeof(withEnd) - 1)), &written, nullptr);
    }

private:
    UniqueHandle m_file;
};

std::wstring Variable(const wchar_t* name)
{
    wchar_t value[MAX_PATH * 2] = L"";
    GetEnvironmentVariableW(name, value, ARRAYSIZE(value));
    return value;
}

// Exit code of a child that stopped writing to its log for longer than a decode may take.
constexpr DWORD ChildHung = DWORD(-3);

// The child's run: exit code 0 when it decoded every mutant from the first it was given, 0xFFFFFFFF
// after a guarded ending, ChildHung when it was ended for hanging.
DWORD RunChild(const std::wstring& folder, const std::wstring& sample)
{
    SetEnvironmentVariableW(FolderVariable, folder.c_str());
    SetEnvironmentVariableW(SampleVariable, sample.c_str());
    std::wstring program = TestProgramFolder() + L"\\imaging_tests.exe";
    std::wstring commandLine = L"\"" + program + L"\" --gtest_also_run_disabled_tests --gtest_filter=" + ChildTest;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                        nullptr, &startup, &process);
    SetEnvironmentVariableW(FolderVariable, nullptr);
    SetEnvironmentVariableW(SampleVariable, nullptr);
    if (!started) return DWORD(-2);
    const UniqueHandle thread(process.hThread), child(process.hProcess);
    // Each decode writes two lines: a log that stops growing for longer than a decode's time
    // (or the start of the process) means a decode that hangs.
    size_t logSize = ReadBytes(LogPath(folder)).size();
    ULONGLONG lastProgress = GetTickCount64();
    while (WaitForSingleObject(child.Get(), 1000) == WAIT_TIMEOUT) {
        const size_t size = ReadBytes(LogPath(folder)).size();
        if (size != logSize) {
            logSize = size;
            lastProgress = GetTickCount64();
        } else if (GetTickCount64() - lastProgress > DecodeTimeLimitMs) {
            TerminateProcess(child.Get(), ChildHung);
            WaitForSingleObject(child.Get(), 10000);
            return ChildHung;
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(child.Get(), &code);
    return code;
}

// Records the guard's ending in the log and ends the child as the viewer ends, without touching the
// heap the faulting handler may have damaged; TerminateProcess, because the libraries' detach code
// that ExitProcess runs may trip over that heap and change the exit code.
class ChildEndings {
public:
    explicit ChildEndings(const ChildLog& log) : m_log(log) {}
    std::wstring path;
    int mutant = 0, road = 0;

private:
    bool m_namesFile = false;
    const ChildLog& m_log;
    ScopedModalSeam m_seam{ModalSeam{
        .messageBox = [this](HWND, const wchar_t* text, const wchar_t*, UINT) {
            m_namesFile = std::wcsstr(text, path.c_str()) != nullptr;
            return IDOK;
        },
        .endProcess = [this](UINT code) {
            char line[64];
            std::snprintf(line, sizeof(line), "%s %d %d %d", GuardedLine, mutant, road, m_namesFile ? 1 : 0);
            m_log.Append(line);
            TerminateProcess(GetCurrentProcess(), code);
        },
    }};
};
}

class DecodeFuzzChild : public DecodeFixture {};

TEST_F(DecodeFuzzChild, DISABLED_DecodesTheMutantsItIsGiven)
{
    const std::wstring folder = Variable(FolderVariable);
    std::wistringstream sample(Variable(SampleVariable));
    std::wstring extension;
    int count = 0, frames = 1, first = 0;
    sample >> extension >> count >> frames >> first;
    ASSERT_FALSE(folder.empty());
    const ChildLog log(folder);
    ChildEndings endings(log);
    for (int i = first; i < count; ++i)
        for (int road : {0, 1}) {
            endings.path = MutantPath(folder, i, extension);
            endings.mutant = i, endings.road = road;
            log.Append(("begin " + std::to_string(i) + " " + std::to_string(road)).c_str());
            const ULONGLONG start = GetTickCount64();
            const uint16_t frame = uint16_t(i % frames);
            const volatile ULONG cancel = 0;
            ImageInfo info;
            HRESULT hr;
            UINT storedWidth = 0, storedHeight = 0;
            if (road == 0) {
                Gdiplus::Bitmap* result = nullptr;
                hr = LoadToBitmap(context.get(), endings.path.c_str(), frame, &result, &width, &height, true, true,
                                  true, &info, &cancel, ViewerDownscaleSetting);
                const std::unique_ptr<Gdiplus::Bitmap> bitmap(result);
                if (bitmap) storedWidth = bitmap->GetWidth(), storedHeight = bitmap->GetHeight();
            } else {
                IDirect3DSurface9* result = nullptr;
                hr = LoadToSurface(context.get(), endings.path.c_str(), frame, &result, &width, &height, true, true,
                                   true, &info, &cancel, ViewerDownscaleSetting);
                const ComPtr<IDirect3DSurface9> surface = ComPtr<IDirect3DSurface9>::Attach(result);
                D3DSURFACE_DESC description = {};
                if (surface && SUCCEEDED(surface->GetDesc(&description)))
                    storedWidth = description.Width, storedHeight = description.Height;
            }
            std::ostringstream line;
            line << "end " << i << " " << road << " " << std::hex << ULONG(hr) << std::dec << " "
                 << (storedWidth ? 1 : 0) << " " << width << " " << height << " " << storedWidth << " "
                 << storedHeight << " " << GetTickCount64() - start;
            log.Append(line.str().c_str());
        }
}

class DecodeFuzz : public testing::TestWithParam<FuzzSample> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    }
    void TearDown() override { CoUninitialize(); }

    // A result, or the guarded ending of a fault: never anything in between.
    void ExpectResult(const LogLine& end)
    {
        EXPECT_LT(end.milliseconds, DecodeTimeLimitMs) << "the decode did not end in its time";
        if (HRESULT(end.hr) == S_OK) {
            ++decoded;
            EXPECT_TRUE(end.stored);
            EXPECT_NE(0u, end.width);
            EXPECT_EQ(end.width, end.storedWidth);
            EXPECT_EQ(end.height, end.storedHeight);
        } else {
            ++refused;
            EXPECT_NE(CodecFaultResult, HRESULT(end.hr)) << "a fault's result without the guard's ending";
            EXPECT_FALSE(end.stored);
            EXPECT_EQ(0u, end.width);
            EXPECT_EQ(0u, end.height);
        }
    }

    TempFolder folder;
    int decoded = 0, refused = 0, faults = 0;
};

TEST_P(DecodeFuzz, EveryMutantEndsInAResultOrTheGuardedEndingWithinItsTime)
{
    const FuzzSample& sample = GetParam();
    ASSERT_EQ(S_OK, CreateWicFactory());
    const std::wstring original = folder.File(std::wstring(L"sample") + sample.extension);
    sample.write(original);
    ReleaseWicFactory();
    const std::vector<uint8_t> bytes = ReadBytes(original);
    ASSERT_FALSE(bytes.empty());
    const Layout layout = sample.layout(bytes);
    ASSERT_FALSE(layout.sizes.empty() && layout.entries.empty()) << "the sample's structure was not found";
    std::mt19937 random(sample.seed);
    for (int i = 0; i < MutantsPerSample; ++i) {
        std::vector<uint8_t> mutant = Mutate(bytes, layout, random);
        if (sample.layout == PngLayout) RepairPngChecksums(mutant);
        WriteBytes(MutantPath(folder.Path(), i, sample.extension), mutant);
    }

    for (int first = 0; first < MutantsPerSample;) {
        const size_t linesBefore = ReadLog(folder.Path()).size();
        const std::wstring arguments = std::wstring(sample.extension) + L" " + std::to_wstring(MutantsPerSample) + L" " +
                                       std::to_wstring(sample.frames) + L" " + std::to_wstring(first);
        const DWORD code = RunChild(folder.Path(), arguments);
        const std::vector<LogLine> all = ReadLog(folder.Path());
        const std::vector<LogLine> lines(all.begin() + std::ptrdiff_t(std::min(linesBefore, all.size())), all.end());
        ASSERT_FALSE(lines.empty()) << "the child process decoded nothing (exit code " << std::hex << code << ")";
        for (const LogLine& line : lines)
            if (line.kind == "end") {
                SCOPED_TRACE(testing::Message() << "mutant " << line.mutant << " on road " << line.road);
                ExpectResult(line);
            }
        const LogLine& last = lines.back();
        if (code == 0) {
            EXPECT_EQ("end", last.kind);
            EXPECT_EQ(MutantsPerSample - 1, last.mutant);
            break;
        }
        SCOPED_TRACE(testing::Message() << "mutant " << last.mutant << " of " << sample.name << " on road " << last.road);
        if (last.kind == GuardedLine) {
            ++faults;
            EXPECT_EQ(0xFFFFFFFFu, code);
            EXPECT_EQ(1, last.namesFile) << "the message names the file";
        } else {
            ADD_FAILURE() << "the decoder ended without the guarded ending, exit code " << std::hex << code
                          << (code == ChildHung ? " (it did not end in its time)" : "");
        }
        first = last.mutant + 1;
    }
    EXPECT_LT(0, decoded) << "no mutant decoded at all: the samples are not reaching the codecs";
    RecordProperty("decoded", decoded);
    RecordProperty("refused", refused);
    RecordProperty("guardedFaults", faults);
    std::printf("%s: %d decodes gave a picture, %d refused, %d handler faults ended by the guard\n", sample.name,
                decoded, refused, faults);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DecodeFuzz,
    testing::Values(
        FuzzSample{"Jpeg", L".jpg", JpegLayout, 20261210, 1,
                   WritePlatformSample<GUID_ContainerFormatJpeg, GUID_WICPixelFormat24bppBGR>},
        FuzzSample{"Png", L".png", PngLayout, 20261211, 1,
                   WritePlatformSample<GUID_ContainerFormatPng, GUID_WICPixelFormat32bppBGRA>},
        FuzzSample{"Tiff", L".tif", TiffLayout, 20261212, 1,
                   WritePlatformSample<GUID_ContainerFormatTiff, GUID_WICPixelFormat24bppBGR>},
        FuzzSample{"TiffPages", L".tif", TiffLayout, 20261215, 3,
                   WritePlatformSample<GUID_ContainerFormatTiff, GUID_WICPixelFormat24bppBGR, 3>},
        FuzzSample{"Tiff16", L".tif", TiffLayout, 20261216, 1,
                   WritePlatformSample<GUID_ContainerFormatTiff, GUID_WICPixelFormat48bppRGB>},
        FuzzSample{"Bmp", L".bmp", [](const std::vector<uint8_t>& b) { return BmpLayout(b); }, 20261213, 1,
                   WritePlatformSample<GUID_ContainerFormatBmp, GUID_WICPixelFormat24bppBGR>},
        FuzzSample{"Gif", L".gif", GifLayout, 20261214, 1,
                   WritePlatformSample<GUID_ContainerFormatGif, GUID_WICPixelFormat8bppIndexed>},
        FuzzSample{"Icon", L".ico", IcoLayout, 20261217, 1, WriteIconSample}),
    [](const testing::TestParamInfo<FuzzSample>& info) { return std::string(info.param.name); });
