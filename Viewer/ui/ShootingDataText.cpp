#include "Viewer/ui/ShootingDataText.h"
#include "Viewer/core/LanguageLibrary.h"
#include <cmath>
#include <cwchar>

namespace {
constexpr UINT kNoExposureString = 10091;
constexpr size_t kHeadingLength = 63;
constexpr size_t kBlockLength = 383;
constexpr wchar_t kLineBreak[] = L"\r\n";
constexpr uint32_t kShownFlags = ~static_cast<uint32_t>(ImageInfoRatingWords);

// printf into a buffer of the given size, cut there as the panel always did.
template <size_t Size, typename... Args>
std::wstring Format(const wchar_t* format, Args... args)
{
    wchar_t text[Size]{};
    _snwprintf(text, Size - 1, format, args...);
    return text;
}

bool IsWhole(double value)
{
    return std::floor(value) == value;
}

const wchar_t* ProgramName(unsigned program)
{
    static const wchar_t* const kNames[] = {nullptr, L"M", L"P", L"A", L"S", L"P*", L"P*", L"P*", L"P*"};
    return program < std::size(kNames) ? kNames[program] : nullptr;
}

const wchar_t* MeteringName(unsigned mode)
{
    static const wchar_t* const kNames[] = {nullptr, L"Average", L"Center", L"Spot", L"MultiSpot", L"Matrix", L"Partial"};
    return mode < std::size(kNames) ? kNames[mode] : nullptr;
}

void AppendHeading(std::wstring& heading, const std::wstring& item)
{
    if (!heading.empty()) heading += L", ";
    heading += item;
}

// The block grows item by item; the separator is used only when something is there already.
class BlockBuilder {
public:
    explicit BlockBuilder(std::wstring& block) : m_block(block) {}
    bool Empty() const { return m_block.empty(); }
    // Appends the item; true when it went after a separator.
    bool Add(const std::wstring& item, const wchar_t* separator)
    {
        const bool separated = !m_block.empty();
        if (separated) m_block += separator;
        m_block += item;
        return separated;
    }

private:
    std::wstring& m_block;
};

std::wstring ExposureTime(const ImageInfo& info)
{
    const double t = info.exposureTime;
    if (t >= 1.0) return IsWhole(t) ? Format<16>(L"%.0fs", t) : Format<16>(L"%.1fs", t);
    const int numerator = info.exposureNumerator;
    if (numerator <= 0) return {};
    return Format<16>(L"%d/%ds", numerator / numerator, info.exposureDenominator / numerator);
}

std::wstring Heading(const ImageInfo& info)
{
    std::wstring heading;
    if (info.flags & ImageInfoExposureTime) {
        const std::wstring time = ExposureTime(info);
        if (!time.empty()) AppendHeading(heading, time);
    }
    if (info.flags & ImageInfoFNumber)
        AppendHeading(heading, IsWhole(info.fNumber) ? Format<16>(L"f/%.0f", info.fNumber)
                                                     : Format<16>(L"f/%.1f", info.fNumber));
    if (info.flags & ImageInfoIsoSpeed) AppendHeading(heading, Format<16>(L"ISO%d", info.isoSpeed));
    if (info.flags & ImageInfoExposureBias)
        AppendHeading(heading, IsWhole(info.exposureBias) ? Format<16>(L"%+.0fEv", info.exposureBias)
                                                          : Format<16>(L"%+.1fEv", info.exposureBias));
    return heading;
}
}

const wchar_t* GetLightSourceName(unsigned code) noexcept
{
    switch (code) {
    case 1: return L"Daylight";
    case 2: return L"Fluo";
    case 3: return L"Tungsten";
    case 4: return L"Flash";
    case 9: return L"Sunny";
    case 10: return L"Cloudy";
    case 11: return L"Shade";
    case 12: return L"Day Fluo";
    case 13: return L"Day Cool";
    case 14: return L"Cool White";
    case 15: return L"White Fluo";
    case 17: return L"Std A";
    case 18: return L"Std B";
    case 19: return L"Std C";
    case 20: return L"D55";
    case 21: return L"D65";
    case 22: return L"D75";
    case 23: return L"D50";
    case 24: return L"ISO Tungsten";
    default: return L"";
    }
}

std::wstring CaptureDateText(const FILETIME& taken)
{
    SYSTEMTIME time{};
    if (!FileTimeToSystemTime(&taken, &time)) return {};
    wchar_t date[64]{};
    wchar_t clock[64]{};
    if (!GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, static_cast<int>(std::size(date))))
        return {};
    if (!GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, clock, static_cast<int>(std::size(clock)))) return {};
    return (std::wstring(date) + L" " + clock).substr(0, 63);
}

std::wstring PictureSizeText(const ImageInfo& info, NumberFormatRecord& numbers)
{
    const bool resized = info.rotated ? info.sourceWidth != info.height || info.sourceHeight != info.width
                                      : info.sourceWidth != info.width || info.sourceHeight != info.height;
    const uint64_t width = info.sourceWidth;
    const uint64_t height = info.sourceHeight;
    wchar_t widthText[16]{};
    wchar_t heightText[16]{};
    FormatNumber(numbers, &width, NumberKind::Unsigned64, widthText, static_cast<int>(std::size(widthText)));
    FormatNumber(numbers, &height, NumberKind::Unsigned64, heightText, static_cast<int>(std::size(heightText)));
    const double pixels = static_cast<double>(width) * static_cast<double>(height);
    const bool mega = pixels >= 100000.0;
    return Format<48>(mega ? L"%.1fMP%ls (%lsx%ls)" : L"%.1fKP%ls (%lsx%ls)", pixels * (mega ? 0.000001 : 0.001),
                      resized ? L"*" : L"", widthText, heightText);
}

ShootingDataText BuildShootingDataText(const ImageInfo* info, NumberFormatRecord& numbers)
{
    ShootingDataText text{};
    std::wstring& block = text.block;
    BlockBuilder builder(block);
    bool sizeShown = false;
    if (info && (info->flags & kShownFlags)) {
        const uint32_t flags = info->flags;
        text.heading = Heading(*info);
        if ((flags & ImageInfoExposureProgram) && ProgramName(info->exposureProgram))
            builder.Add(Format<32>(L"Mode: %ls", ProgramName(info->exposureProgram)), L", ");
        if ((flags & ImageInfoMeteringMode) && MeteringName(info->meteringMode))
            builder.Add(Format<32>(L"Meter: %ls", MeteringName(info->meteringMode)), L", ");
        if (flags & ImageInfoFlash) builder.Add(Format<16>(L"%lsFlash", (info->flash & 1) ? L"" : L"No "), L", ");
        if ((flags & ImageInfoWhiteBalance) && info->whiteBalance <= 1)
            builder.Add(Format<32>(L"%ls WB", info->whiteBalance == 0 ? L"Auto" : L"Manual"), L", ");
        if ((flags & ImageInfoLightSource) && *GetLightSourceName(info->lightSource))
            builder.Add(Format<32>(L"%ls", GetLightSourceName(info->lightSource)), L", ");

        // The second line: focal length, distance, date and profile.
        bool lineOpen = false;
        if (flags & ImageInfoFocalLength)
            lineOpen |= builder.Add(Format<16>(L"Focal: %.0fmm", info->focalLength), kLineBreak);
        if (flags & ImageInfoSubjectDistance) {
            const double d = info->subjectDistance;
            lineOpen |= builder.Add(d >= 20.0 ? Format<32>(L"Distance: %.0fm", d) : Format<32>(L"Distance: %.1fm", d),
                                    lineOpen ? L", " : kLineBreak);
        }
        if (flags & ImageInfoDateTaken)
            lineOpen |= builder.Add(CaptureDateText(info->dateTaken), lineOpen ? L", " : kLineBreak);
        if ((flags & ImageInfoProfileName) && info->profileName.Get()) {
            const std::wstring prefix = text.heading.empty() ? L"Color Profile: " : L"";
            builder.Add(prefix + info->profileName.Get(), lineOpen ? L", " : kLineBreak);
        }

        // The third line: size, camera, lens, comment.
        bool tailOpen = false;
        bool sizeLast = false;
        if (info->sourceWidth > 0 && info->sourceHeight > 0) {
            tailOpen = builder.Add(PictureSizeText(*info, numbers), kLineBreak);
            sizeLast = true;
            sizeShown = true;
        }
        const auto tailSeparator = [&] { return tailOpen ? (sizeLast ? L" " : L", ") : kLineBreak; };
        for (const Bstr* name : {&info->cameraModel, &info->lensModel}) {
            const uint32_t flag = name == &info->cameraModel ? ImageInfoCameraModel : ImageInfoLensModel;
            if (!(flags & flag) || !name->Get()) continue;
            if (builder.Add(name->Get(), tailSeparator())) {
                sizeLast = false;
                tailOpen = true;
            }
        }
        if ((flags & ImageInfoComment) && info->comment.Get()) builder.Add(info->comment.Get(), tailSeparator());
    }
    // A picture without capture data still shows its size.
    if (text.heading.empty() && !sizeShown && info && info->sourceWidth > 0 && info->sourceHeight > 0)
        builder.Add(PictureSizeText(*info, numbers), L", ");
    if (text.heading.size() > kHeadingLength) text.heading.resize(kHeadingLength);
    if (block.size() > kBlockLength) block.resize(kBlockLength);
    if (text.heading.empty()) {
        text.heading = LoadUiString(kNoExposureString).substr(0, kHeadingLength);
        text.minOpacity = block.empty() ? 0.57f : 0.78f;
    } else {
        text.minOpacity = 0.78f;
    }
    return text;
}
