#include "Viewer/imaging/MetadataReader.h"
#include "Framework/ComPtr.h"
#include "Framework/HResultError.h"
#include "Framework/Variant.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/Trim.h"
#include "Viewer/imaging/ColourLabels.h"
#include "Viewer/imaging/ExifOrientation.h"
#include "Viewer/imaging/ImageFormats.h"
#include "Viewer/imaging/MakerNotes.h"
#include "Viewer/imaging/TextCompare.h"
#include "Viewer/imaging/WicFactory.h"
#include "Viewer/imaging/XmpSidecar.h"
#include <cmath>
#include <cwchar>
#include <initializer_list>
#include <string>

namespace {
// Containers whose EXIF sits in the root IFD, so that XMP queries start at "/ifd".
const GUID* const TiffRootedFormats[] = {&GUID_ContainerFormatTiff, &GUID_ContainerFormatWmp, &ContainerFormatRawFurther,
                                         &ContainerFormatDng,        &ContainerFormatRawSecondary,
                                         &ContainerFormatOrf,        &ContainerFormatNef};
// Containers that keep EXIF below APP1 as a JPEG does.
const GUID* const JpegRootedFormats[] = {&GUID_ContainerFormatJpeg, &ContainerFormatCr2, &ContainerFormatRw2};

template <size_t N>
bool IsOneOf(const GUID& format, const GUID* const (&list)[N])
{
    for (const GUID* g : list)
        if (IsEqualGUID(format, *g)) return true;
    return false;
}

constexpr size_t QueryBufferLength = 512;

const wchar_t* WideText(const PROPVARIANT& v) noexcept
{
    return v.vt == VT_LPWSTR && v.pwszVal && *v.pwszVal ? v.pwszVal : nullptr;
}

// The frame's query reader with the path rules of its container.
class FrameQueries {
public:
    FrameQueries(IWICMetadataQueryReader* reader, bool tiffRooted) : m_reader(reader), m_tiffRooted(tiffRooted) {}

    // True when the query returned a success code.
    bool Read(const wchar_t* name, PropVariant& value)
    {
        wchar_t buffer[QueryBufferLength];
        const wchar_t* path = name;
        if (wcsncmp(name, L"/xmp/", 5) == 0) path = PrefixIfdQuery(m_tiffRooted, name, buffer, QueryBufferLength);
        // EXIF and the raw tags of the first image directory sit below "/app1" in a JPEG.
        if (wcsncmp(name, L"/ifd/", 5) == 0) path = PrefixApp1Query(m_tiffRooted, name, buffer, QueryBufferLength);
        return SUCCEEDED(m_reader->GetMetadataByName(path, &value));
    }

    // The first of the names that reads; later names are asked only when the earlier ones fail.
    bool ReadFirst(std::initializer_list<const wchar_t*> names, PropVariant& value)
    {
        for (const wchar_t* name : names)
            if (Read(name, value)) return true;
        return false;
    }

    // A property of the XMP packet as non-empty text, or null; TIFF-rooted containers keep the packet
    // in tag 700 of the root IFD.
    const wchar_t* ReadXmpText(const wchar_t* property, PropVariant& value)
    {
        const std::wstring path = std::wstring(m_tiffRooted ? L"/ifd/{ushort=700}/" : L"/xmp/") + property;
        return Read(path.c_str(), value) ? WideText(value.Get()) : nullptr;
    }

private:
    IWICMetadataQueryReader* m_reader;
    bool m_tiffRooted;
};

int DecimalValue(const wchar_t* text) noexcept
{
    return text ? static_cast<int>(wcstol(text, nullptr, 10)) : 0;
}

struct Rational {
    int64_t numerator;
    int64_t denominator;
};

// An EXIF rational as its two signed 32-bit halves, or its text "n/d" ("n" alone has denominator 0;
// an empty text is 0/0).
Rational RationalParts(const PROPVARIANT& v) noexcept
{
    if (v.vt == VT_LPWSTR) {
        if (!v.pwszVal || !*v.pwszVal) return {0, 0};
        const wchar_t* slash = wcschr(v.pwszVal, L'/');
        return {DecimalValue(v.pwszVal), slash ? DecimalValue(slash + 1) : 0};
    }
    return {static_cast<int32_t>(v.uhVal.LowPart), static_cast<int32_t>(v.uhVal.HighPart)};
}

// A 16-bit field: a non-empty wide string by decimal conversion, anything else by its low 16 bits.
uint16_t Word(const PROPVARIANT& v) noexcept
{
    const wchar_t* text = WideText(v);
    return text ? static_cast<uint16_t>(DecimalValue(text)) : v.uiVal;
}

bool DateFromValue(const PROPVARIANT& v, FILETIME* time)
{
    if (v.vt == VT_FILETIME) {
        *time = v.filetime;
        return true;
    }
    if (v.vt == VT_LPWSTR) return v.pwszVal && ParseDateText(v.pwszVal, time);
    if (v.vt != VT_LPSTR || !v.pszVal) return false;
    // Only the EXIF form comes as 8-bit text.
    size_t length = strlen(v.pszVal);
    if (length != 19) return false;
    wchar_t wide[20];
    for (size_t i = 0; i <= length; ++i) wide[i] = static_cast<unsigned char>(v.pszVal[i]);
    return ParseDateText(wide, time);
}

// A copy trimmed at both ends; null when nothing is left.
Bstr TrimmedText(const PROPVARIANT& v)
{
    const wchar_t* text = nullptr;
    if (v.vt == (VT_VECTOR | VT_LPWSTR) && v.calpwstr.cElems > 0) text = v.calpwstr.pElems[0];
    if (v.vt == VT_LPWSTR) text = v.pwszVal;
    if (!text) return {};
    std::wstring copy = text;
    TrimRight(copy.data());
    TrimLeft(copy.data());
    copy.resize(wcslen(copy.c_str()));
    return copy.empty() ? Bstr() : Bstr(copy);
}

void ReadDate(FrameQueries& queries, ImageInfo& info)
{
    PropVariant value;
    if (queries.Read(L"System.Photo.DateTaken", value)) {
        info.dateTaken = value.Get().filetime;
        info.flags |= ImageInfoDateTaken;
        return;
    }
    for (const wchar_t* name : {L"/xmp/exif:DateTimeOriginal", L"/xmp/exif:DateTimeDigitized", L"/ifd/exif/{ushort=36868}"}) {
        FILETIME parsed;
        if (queries.Read(name, value) && DateFromValue(value.Get(), &parsed)) {
            info.dateTaken = parsed;
            info.flags |= ImageInfoDateTaken;
            return;
        }
    }
}

// The exposure time as a fraction, reduced once.
void ReadExposureFraction(const PROPVARIANT& v, ImageInfo& info)
{
    auto [numerator, denominator] = RationalParts(v);
    if (numerator == 0 || denominator == 0) {
        numerator = denominator = 0;
    } else if (denominator % numerator == 0) {
        denominator /= numerator;
        numerator = 1;
    } else if (numerator % denominator == 0) {
        numerator /= denominator;
        denominator = 1;
    }
    info.exposureNumerator = static_cast<int32_t>(numerator);
    info.exposureDenominator = static_cast<int32_t>(denominator);
}

void ReadExposure(FrameQueries& queries, ImageInfo& info)
{
    PropVariant value;
    if (queries.ReadFirst({L"/xmp/exif:ExposureBiasValue", L"/ifd/exif/{ushort=37380}"}, value)) {
        info.exposureBias = RationalToDouble(value.Get());
        if (info.exposureBias != 0) info.flags |= ImageInfoExposureBias;
    }
    if (queries.ReadFirst({L"/xmp/exif:ExposureTime", L"/ifd/exif/{ushort=33434}"}, value)) {
        info.exposureTime = RationalToDouble(value.Get());
        ReadExposureFraction(value.Get(), info);
        if (info.exposureTime != 0) info.flags |= ImageInfoExposureTime;
    }
    if (info.exposureTime == 0 && queries.ReadFirst({L"/xmp/exif:ShutterSpeedValue", L"/ifd/exif/{ushort=37377}"}, value)) {
        double apex = RationalToDouble(value.Get());
        if (apex != 0) {
            // exp2 is exact for whole APEX values, so 7 gives 1/128 and not 1/127.
            double seconds = std::exp2(apex);
            info.exposureTime = 1.0 / seconds;
            info.exposureNumerator = 1;
            info.exposureDenominator = static_cast<int32_t>(seconds);
            info.flags |= ImageInfoExposureTime;
        }
    }
}

void ReadOptics(FrameQueries& queries, ImageInfo& info)
{
    PropVariant value;
    if (queries.Read(L"System.Photo.Flash", value)) {
        info.flash = value.Get().uiVal;
        info.flags |= ImageInfoFlash;
    }
    if (queries.ReadFirst({L"/xmp/exif:FNumber", L"/xmp/exif:Fnumber", L"/ifd/exif/{ushort=33437}"}, value)) {
        info.fNumber = RationalToDouble(value.Get());
        if (info.fNumber != 0) info.flags |= ImageInfoFNumber;
    }
    if (info.fNumber == 0 && queries.ReadFirst({L"/xmp/exif:ApertureValue", L"/ifd/exif/{ushort=37378}"}, value)) {
        info.fNumber = std::exp2(RationalToDouble(value.Get()) * 0.5);
        if (info.fNumber != 0) info.flags |= ImageInfoFNumber;
    }
    if (queries.ReadFirst({L"/xmp/exif:FocalLength", L"/ifd/exif/{ushort=37386}"}, value)) {
        info.focalLength = RationalToDouble(value.Get());
        if (info.focalLength != 0) info.flags |= ImageInfoFocalLength;
    }
    if (queries.Read(L"System.Photo.FocalLengthInFilm", value)) {
        info.focalLength35mm = value.Get().uiVal;
        if (info.focalLength35mm != 0) info.flags |= ImageInfoFocalLength35mm;
    }
}

void ReadIso(FrameQueries& queries, ImageInfo& info)
{
    PropVariant value;
    if (queries.Read(L"System.Photo.ISOSpeed", value)) {
        info.isoSpeed = value.Get().uiVal;
    } else if (queries.Read(L"/xmp/exif:ISOSpeedRatings/", value)) {
        info.isoSpeed = DecimalValue(WideText(value.Get()));
    } else if (queries.Read(L"System.Photo.MakerNote", value) && value.Type() == VT_BLOB) {
        int iso = ReadNikonIso(value.Get().blob.cbSize, value.Get().blob.pBlobData);
        if (iso > 0) info.isoSpeed = static_cast<int16_t>(iso);
    }
    if (info.isoSpeed != 0) info.flags |= ImageInfoIsoSpeed;
}

void ReadSettings(FrameQueries& queries, ImageInfo& info)
{
    PropVariant value;
    if (queries.Read(L"System.Photo.MeteringMode", value)) {
        info.meteringMode = value.Get().uiVal;
        info.flags |= ImageInfoMeteringMode;
    }
    if (queries.Read(L"System.Photo.LightSource", value)) {
        info.lightSource = value.Get().uiVal;
        info.flags |= ImageInfoLightSource;
    }
    // Where the platform refuses the policy name, the raw tag holds the same value.
    if (queries.ReadFirst({L"System.Photo.Orientation", OrientationTagPath, L"/xmp/tiff:Orientation"}, value)) {
        info.orientation = Word(value.Get());
        info.flags |= ImageInfoOrientation;
    }
    if (queries.Read(L"System.Photo.ProgramMode", value)) {
        info.exposureProgram = value.Get().uiVal;
        info.flags |= ImageInfoExposureProgram;
    }
    if (queries.ReadFirst({L"/xmp/exif:SubjectDistance", L"/ifd/exif/{ushort=37382}"}, value)) {
        info.subjectDistance = RationalToDouble(value.Get());
        if (info.subjectDistance != 0) info.flags |= ImageInfoSubjectDistance;
    }
    if (queries.ReadFirst({L"System.Photo.WhiteBalance", L"/xmp/exif:WhiteBalance"}, value)) {
        info.whiteBalance = Word(value.Get());
        info.flags |= ImageInfoWhiteBalance;
    }
}

void ReadRatingWords(FrameQueries& queries, ImageInfo& info)
{
    RatingWords& words = info.ratingWords;
    PropVariant value;
    if (queries.Read(L"System.Rating", value)) {
        words.ratingPercent = static_cast<int16_t>(value.Get().uiVal);
        info.flags |= ImageInfoRatingWords;
    }
    if (queries.Read(L"System.SimpleRating", value)) {
        words.rating = static_cast<int16_t>(value.Get().uiVal);
        info.flags |= ImageInfoRatingWords;
    }
    if (const wchar_t* label = queries.ReadXmpText(L"xmp:Label", value)) {
        words.label = static_cast<int16_t>(ParseLabelName(label));
        if (words.label != -1) info.flags |= ImageInfoRatingWords;
    }
    if (const wchar_t* urgency = queries.ReadXmpText(L"photoshop:Urgency", value)) {
        words.urgency = static_cast<int16_t>(DecimalValue(urgency));
        info.flags |= ImageInfoRatingWords;
    }
}

void ReadTexts(FrameQueries& queries, ImageInfo& info)
{
    struct TextField {
        std::initializer_list<const wchar_t*> names;
        Bstr& field;
        uint32_t flag;
    } fields[] = {
        {{L"System.Photo.CameraModel", L"/xmp/tiff:Model"}, info.cameraModel, ImageInfoCameraModel},
        {{L"System.Photo.LensModel"}, info.lensModel, ImageInfoLensModel},
        {{L"System.Comment"}, info.comment, ImageInfoComment},
    };
    for (TextField& f : fields) {
        PropVariant value;
        if (!queries.ReadFirst(f.names, value)) continue;
        f.field = TrimmedText(value.Get());
        if (f.field.Get()) info.flags |= f.flag;
    }
}

void ReadSidecar(const wchar_t* path, ImageInfo& info)
{
    if (AppSettings::CreateSidecarFiles && ReadXmpSidecar(path, info.ratingWords) == S_OK)
        info.flags |= ImageInfoRatingWords;
}

HRESULT ReadFrame(const wchar_t* path, ImageInfo& info, IWICBitmapSource* source, IWICBitmapDecoder* decoder,
                  uint16_t frameIndex, const wchar_t* profileName)
{
    ThrowIfFailed(source->GetSize(&info.sourceWidth, &info.sourceHeight));
    info.flags = 0;
    info.ratingWords = {-1, -1, -1, -1};
    if (profileName && *profileName) {
        info.profileName = SameText(profileName, L"opRGB") ? Bstr(L"Adobe RGB") : Bstr(profileName);
        info.flags |= ImageInfoProfileName;
    }

    GUID container;
    ThrowIfFailed(decoder->GetContainerFormat(&container));
    bool tiffRooted = IsOneOf(container, TiffRootedFormats);
    if (!tiffRooted && !IsOneOf(container, JpegRootedFormats)) {
        ReadSidecar(path, info);
        return S_FALSE;
    }
    UINT frameCount = 0;
    ThrowIfFailed(decoder->GetFrameCount(&frameCount));
    if (frameCount == 0 || frameCount <= frameIndex) return S_FALSE;
    ComPtr<IWICBitmapFrameDecode> frame;
    ThrowIfFailed(decoder->GetFrame(frameIndex, &frame));
    ComPtr<IWICMetadataQueryReader> reader;
    ThrowIfFailed(frame->GetMetadataQueryReader(&reader));
    if (!reader) throw HResultError(E_UNEXPECTED);

    FrameQueries queries(reader.Get(), tiffRooted);
    ReadDate(queries, info);
    ReadExposure(queries, info);
    ReadOptics(queries, info);
    ReadIso(queries, info);
    ReadSettings(queries, info);
    ReadRatingWords(queries, info);
    ReadTexts(queries, info);
    ReadSidecar(path, info);
    return S_OK;
}
}

HRESULT ReadImageMetadata(DecodeThreadContext*, const wchar_t* path, ImageInfo* info, IWICBitmapSource* source,
                          IWICBitmapDecoder* decoder, uint16_t frameIndex, const wchar_t* profileName) noexcept
{
    if (!g_WicFactory) return E_UNEXPECTED;
    if (!info || !source || !decoder) return E_INVALIDARG;
    return CatchAsHResult([&] { return ReadFrame(path, *info, source, decoder, frameIndex, profileName); });
}

bool ReadFrameDate(IWICMetadataQueryReader* reader, REFGUID container, std::initializer_list<const wchar_t*> names,
                   FILETIME* time) noexcept
{
    const bool tiffRooted = IsOneOf(container, TiffRootedFormats);
    if (!reader || (!tiffRooted && !IsOneOf(container, JpegRootedFormats))) return false;
    try {
        FrameQueries queries(reader, tiffRooted);
        for (const wchar_t* name : names) {
            PropVariant value;
            if (queries.Read(name, value) && DateFromValue(value.Get(), time)) return true;
        }
    } catch (...) {
    }
    return false;
}

double RationalToDouble(const PROPVARIANT& value) noexcept
{
    const Rational r = RationalParts(value);
    return r.denominator == 0 ? 0.0 : static_cast<double>(r.numerator) / static_cast<double>(r.denominator);
}

bool ParseDateText(const wchar_t* text, FILETIME* time) noexcept
{
    size_t length = wcslen(text);
    bool exifForm = length == 19 && text[4] == L':' && text[7] == L':' && text[10] == L' ';
    if (length < 20 && !exifForm) return false;
    wchar_t copy[20];
    wmemcpy(copy, text, 19);
    for (size_t cut : {4, 7, 10, 13, 16}) copy[cut] = L'\0';
    copy[19] = L'\0';
    SYSTEMTIME parts = {};
    parts.wYear = static_cast<WORD>(DecimalValue(copy));
    parts.wMonth = static_cast<WORD>(DecimalValue(copy + 5));
    parts.wDay = static_cast<WORD>(DecimalValue(copy + 8));
    parts.wHour = static_cast<WORD>(DecimalValue(copy + 11));
    parts.wMinute = static_cast<WORD>(DecimalValue(copy + 14));
    parts.wSecond = static_cast<WORD>(DecimalValue(copy + 17));
    return SystemTimeToFileTime(&parts, time) != FALSE;
}
