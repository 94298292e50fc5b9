#include "Viewer/imaging/EmbeddedMetadata.h"
#include "Framework/HResultError.h"
#include "Framework/RegKey.h"
#include "Framework/UniqueHandle.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/imaging/ColourLabels.h"
#include "Viewer/imaging/ImageFormats.h"
#include "Viewer/imaging/SiblingPath.h"
#include "Viewer/imaging/XmpSidecar.h"
#include <shlwapi.h>
#include <wincodecsdk.h>
#include <optional>
#include <string>
#include <vector>

namespace {
// Where one container family keeps each property.
struct QueryPaths {
    const wchar_t* ratingText;
    const wchar_t* ratingNumber;
    const wchar_t* percentText;
    const wchar_t* percentNumber;
    const wchar_t* urgency;
    const wchar_t* label;
    const wchar_t* date;
    const wchar_t* creatorTool;
    const wchar_t* software;
    std::vector<const wchar_t*> ansiSoftware;  // failures ignored
    std::vector<const wchar_t*> padding;       // in order, up to the first failure
};

const QueryPaths JpegPaths{
    L"/xmp/xmp:Rating",
    L"/app1/ifd/{ushort=18246}",
    L"/xmp/MicrosoftPhoto:Rating",
    L"/app1/ifd/{ushort=18249}",
    L"/xmp/photoshop:Urgency",
    L"/xmp/xmp:Label",
    L"/xmp/xmp:MetadataDate",
    L"/xmp/xmp:CreatorTool",
    L"/xmp/tiff:Software",
    {L"/app13/irb/8bimiptc/iptc/Originating Program", L"/app1/ifd/{ushort=305}"},
    {L"/app1/ifd/PaddingSchema:Padding", L"/app1/ifd/exif/PaddingSchema:Padding", L"/xmp/PaddingSchema:Padding"},
};

const QueryPaths TiffPaths{
    L"/ifd/xmp/xmp:Rating",
    L"/ifd/{ushort=18246}",
    L"/ifd/xmp/MicrosoftPhoto:Rating",
    L"/ifd/{ushort=18249}",
    L"/ifd/{ushort=700}/photoshop:Urgency",
    L"/ifd/{ushort=700}/xmp:Label",
    L"/ifd/{ushort=700}/xmp:MetadataDate",
    L"/ifd/xmp/xmp:CreatorTool",
    L"/ifd/xmp/tiff:Software",
    {L"/ifd/iptc/Originating Program", L"/ifd/irb/8bimiptc/iptc/Originating Program", L"/ifd/{ushort=305}"},
    {L"/ifd/PaddingSchema:Padding", L"/ifd/exif/PaddingSchema:Padding", L"/ifd/xmp/PaddingSchema:Padding"},
};

constexpr ULONG PaddingBytes = 1024;

HRESULT SetText(IWICMetadataQueryWriter* writer, const wchar_t* name, const std::wstring& text)
{
    PROPVARIANT value;
    PropVariantInit(&value);
    value.vt = VT_LPWSTR;
    value.pwszVal = const_cast<wchar_t*>(text.c_str());
    return writer->SetMetadataByName(name, &value);
}

HRESULT SetAnsi(IWICMetadataQueryWriter* writer, const wchar_t* name, const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi.data(), size, nullptr, nullptr);
    PROPVARIANT value;
    PropVariantInit(&value);
    value.vt = VT_LPSTR;
    value.pszVal = ansi.data();
    return writer->SetMetadataByName(name, &value);
}

HRESULT SetUInt16(IWICMetadataQueryWriter* writer, const wchar_t* name, USHORT number)
{
    PROPVARIANT value;
    PropVariantInit(&value);
    value.vt = VT_UI2;
    value.uiVal = number;
    return writer->SetMetadataByName(name, &value);
}

HRESULT SetUInt32(IWICMetadataQueryWriter* writer, const wchar_t* name, ULONG number)
{
    PROPVARIANT value;
    PropVariantInit(&value);
    value.vt = VT_UI4;
    value.ulVal = number;
    return writer->SetMetadataByName(name, &value);
}

// One change as the writers need it.
struct Change {
    int value;
    bool isLabel;
    int convention;
    bool isUrgency;
    const SYSTEMTIME& time;
};

// The properties of the change's kind; the first failing write ends the pass.
void WriteProperties(IWICMetadataQueryWriter* writer, const QueryPaths& paths, const Change& change)
{
    const std::wstring number = std::to_wstring(change.value);
    if (change.isLabel) {
        ThrowIfFailed(SetText(writer, paths.label, GetLabelName(change.value, change.convention)));
        ThrowIfFailed(SetText(writer, paths.date, FormatMetadataDate(change.time)));
        if (change.convention == 1 || change.convention == 2) ThrowIfFailed(SetText(writer, paths.urgency, number));
    } else if (change.isUrgency) {
        ThrowIfFailed(SetText(writer, paths.urgency, number));
    } else {
        const int percent = RatingToPercent(change.value);
        ThrowIfFailed(SetText(writer, paths.ratingText, number));
        ThrowIfFailed(SetUInt16(writer, paths.ratingNumber, static_cast<USHORT>(change.value)));
        ThrowIfFailed(SetText(writer, paths.date, FormatMetadataDate(change.time)));
        ThrowIfFailed(SetText(writer, paths.percentText, std::to_wstring(percent)));
        ThrowIfFailed(SetUInt16(writer, paths.percentNumber, static_cast<USHORT>(percent)));
    }
}

void WritePadding(IWICMetadataQueryWriter* writer, const QueryPaths& paths)
{
    for (const wchar_t* name : paths.padding)
        if (FAILED(SetUInt32(writer, name, PaddingBytes))) return;
}

// The program's name in the creator-tool and software fields; the other fields are best effort.
void WriteSoftware(IWICMetadataQueryWriter* writer, const QueryPaths& paths, const std::wstring& software)
{
    if (software.empty()) return;
    if (SUCCEEDED(SetText(writer, paths.creatorTool, software))) SetText(writer, paths.software, software);
    for (const wchar_t* name : paths.ansiSoftware) SetAnsi(writer, name, software);
}

bool UpdateLastWriteTimeWhenRating()
{
    RegKey key;
    if (key.Open(HKEY_CURRENT_USER, AppSettings::KeyPath, KEY_READ) != ERROR_SUCCESS) return false;
    return key.QueryDword(L"UpdateLastWriteTimeWhenRating").value_or(0) != 0;
}

std::optional<FILETIME> ReadLastWriteTime(const wchar_t* path)
{
    const UniqueHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    FILETIME lastWrite{};
    if (!file || !GetFileTime(file.Get(), nullptr, nullptr, &lastWrite)) return std::nullopt;
    return lastWrite;
}

void RestoreLastWriteTime(const wchar_t* path, const std::optional<FILETIME>& lastWrite)
{
    if (!lastWrite) return;
    const UniqueHandle file(
        CreateFileW(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file) SetFileTime(file.Get(), nullptr, nullptr, &*lastWrite);
}

// The decoder of one picture and the stream it reads, released together before the files move.
struct OpenedPicture {
    ComPtr<IStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
};

// The picture opened read-write with write sharing denied, so that another writer meets a sharing
// violation instead of a half-changed file. A decoder made from the file name for writing would
// truncate it, so writing always goes through a stream that is opened without creating.
OpenedPicture OpenForWriting(IWICImagingFactory* factory, const wchar_t* path)
{
    OpenedPicture opened;
    GUID container{}, vendor{};
    if (GetImageFormatFromExtension(path, &container, &vendor)) {
        ThrowIfFailed(SHCreateStreamOnFileEx(path, STGM_READWRITE | STGM_SHARE_DENY_WRITE, FILE_ATTRIBUTE_NORMAL, FALSE,
                                             nullptr, &opened.stream));
        ThrowIfFailed(factory->CreateDecoder(container, vendor == GUID_NULL ? nullptr : &vendor, &opened.decoder));
        if (!opened.decoder) throw HResultError(E_FAIL);
        ThrowIfFailed(opened.decoder->Initialize(opened.stream.Get(), WICDecodeMetadataCacheOnDemand));
    } else {
        ThrowIfFailed(factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                         &opened.decoder));
    }
    if (!opened.decoder) throw HResultError(E_FAIL);
    return opened;
}

OpenedPicture OpenForReading(IWICImagingFactory* factory, const wchar_t* path)
{
    OpenedPicture opened;
    ThrowIfFailed(factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                     &opened.decoder));
    if (!opened.decoder) throw HResultError(E_FAIL);
    return opened;
}

const QueryPaths& PathsFor(IWICBitmapDecoder* decoder, GUID& container)
{
    ThrowIfFailed(decoder->GetContainerFormat(&container));
    if (container == GUID_ContainerFormatJpeg) return JpegPaths;
    if (container == GUID_ContainerFormatTiff || container == GUID_ContainerFormatWmp) return TiffPaths;
    throw HResultError(MetadataFormatUnsupported);
}

// True when the change went into the file in place; false when the file has no room for it.
bool WriteInPlace(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, const QueryPaths& paths,
                  const Change& change)
{
    ComPtr<IWICFastMetadataEncoder> encoder;
    ThrowIfFailed(factory->CreateFastMetadataEncoderFromFrameDecode(frame, &encoder));
    ComPtr<IWICMetadataQueryWriter> writer;
    ThrowIfFailed(encoder->GetMetadataQueryWriter(&writer));
    WriteProperties(writer.Get(), paths, change);
    return SUCCEEDED(encoder->Commit());
}

// The file beside the picture that a re-encode writes; deleted unless it was moved into place.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::wstring& picturePath) : m_path(MakeSiblingPath(picturePath)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (!m_moved) DeleteFileW(m_path.c_str());
    }
    const std::wstring& Path() const noexcept { return m_path; }
    void Moved() noexcept { m_moved = true; }

private:
    std::wstring m_path;
    bool m_moved = false;
};

// A palette read by copy, or none when the source has none.
template <class Source>
ComPtr<IWICPalette> ReadPalette(IWICImagingFactory* factory, Source* source)
{
    ComPtr<IWICPalette> palette;
    ThrowIfFailed(factory->CreatePalette(&palette));
    UINT colours = 0;
    if (FAILED(source->CopyPalette(palette.Get())) || FAILED(palette->GetColorCount(&colours)) || colours == 0)
        return {};
    return palette;
}

// Every metadata block of source into target; nothing when either side keeps no blocks.
void CopyMetadataBlocks(IUnknown* source, IUnknown* target)
{
    ComPtr<IWICMetadataBlockReader> reader;
    ComPtr<IWICMetadataBlockWriter> writer;
    if (FAILED(source->QueryInterface(IID_PPV_ARGS(&reader))) || FAILED(target->QueryInterface(IID_PPV_ARGS(&writer))))
        return;
    ThrowIfFailed(writer->InitializeFromBlockReader(reader.Get()));
}

HRESULT NotImplementedIsDone(HRESULT hr)
{
    return hr == E_NOTIMPL ? S_OK : hr;
}

void CopyFrame(IWICImagingFactory* factory, IWICBitmapEncoder* encoder, IWICBitmapFrameDecode* source, bool first,
               const QueryPaths& paths, const Change& change, const std::wstring& software)
{
    ComPtr<IWICBitmapFrameEncode> target;
    ComPtr<IPropertyBag2> options;
    ThrowIfFailed(encoder->CreateNewFrame(&target, &options));
    ThrowIfFailed(target->Initialize(options.Get()));
    UINT width = 0, height = 0;
    ThrowIfFailed(source->GetSize(&width, &height));
    ThrowIfFailed(target->SetSize(width, height));
    double dpiX = 0, dpiY = 0;
    ThrowIfFailed(source->GetResolution(&dpiX, &dpiY));
    ThrowIfFailed(target->SetResolution(dpiX, dpiY));
    WICPixelFormatGUID format{};
    ThrowIfFailed(source->GetPixelFormat(&format));
    ThrowIfFailed(target->SetPixelFormat(&format));
    ComPtr<IWICBitmapSource> thumbnail;
    if (SUCCEEDED(source->GetThumbnail(&thumbnail)) && thumbnail) target->SetThumbnail(thumbnail.Get());
    if (ComPtr<IWICPalette> palette = ReadPalette(factory, source)) ThrowIfFailed(target->SetPalette(palette.Get()));
    CopyMetadataBlocks(source, target.Get());
    if (first) {
        ComPtr<IWICMetadataQueryWriter> writer;
        ThrowIfFailed(target->GetMetadataQueryWriter(&writer));
        WritePadding(writer.Get(), paths);
        WriteProperties(writer.Get(), paths, change);
        WriteSoftware(writer.Get(), paths, software);
    }
    ThrowIfFailed(target->WriteSource(source, nullptr));
    ThrowIfFailed(target->Commit());
}

// The whole picture, every frame with its metadata blocks, into the temporary file.
void Reencode(IWICImagingFactory* factory, IWICBitmapDecoder* decoder, const GUID& container, UINT frames,
              const QueryPaths& paths, const Change& change, const std::wstring& software,
              const std::wstring& temporaryPath)
{
    ComPtr<IWICStream> stream;
    ThrowIfFailed(factory->CreateStream(&stream));
    ThrowIfFailed(stream->InitializeFromFilename(temporaryPath.c_str(), GENERIC_WRITE));

    GUID vendor{};
    ComPtr<IWICBitmapDecoderInfo> info;
    const bool vendorKnown = SUCCEEDED(decoder->GetDecoderInfo(&info)) && info && SUCCEEDED(info->GetVendorGUID(&vendor));
    ComPtr<IWICBitmapEncoder> encoder;
    if (!vendorKnown || FAILED(factory->CreateEncoder(container, &vendor, &encoder)))
        ThrowIfFailed(factory->CreateEncoder(container, nullptr, &encoder));
    ThrowIfFailed(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache));

    // Container-level pieces are copied where the encoder takes them; most formats keep none.
    ComPtr<IWICBitmapSource> picture;
    if (SUCCEEDED(decoder->GetThumbnail(&picture)) && picture) encoder->SetThumbnail(picture.Get());
    picture = nullptr;
    if (SUCCEEDED(decoder->GetPreview(&picture)) && picture) encoder->SetPreview(picture.Get());
    if (ComPtr<IWICPalette> palette = ReadPalette(factory, decoder)) encoder->SetPalette(palette.Get());
    CopyMetadataBlocks(decoder, encoder.Get());

    for (UINT index = 0; index < frames; ++index) {
        ComPtr<IWICBitmapFrameDecode> frame;
        ThrowIfFailed(decoder->GetFrame(index, &frame));
        CopyFrame(factory, encoder.Get(), frame.Get(), index == 0, paths, change, software);
    }
    ThrowIfFailed(NotImplementedIsDone(encoder->Commit()));
    ThrowIfFailed(NotImplementedIsDone(stream->Commit(STGC_DEFAULT)));
}

// Checks the re-encoded file and gives it the picture's last-write time.
void FinishTemporary(const std::wstring& temporaryPath, const std::optional<FILETIME>& lastWrite)
{
    const UniqueHandle file(CreateFileW(temporaryPath.c_str(), GENERIC_READ | FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
    ThrowLastErrorIf(!file);
    LARGE_INTEGER size{};
    ThrowLastErrorIf(!GetFileSizeEx(file.Get(), &size));
    if (size.QuadPart == 0) throw HResultError(E_FAIL);
    if (lastWrite) SetFileTime(file.Get(), nullptr, nullptr, &*lastWrite);
}

// The re-encoded file takes the picture's name; on a failure the picture is put back.
void Swap(const std::wstring& path, TemporaryFile& temporary, const std::function<void()>& onRewritten)
{
    const std::wstring backup = MakeSiblingPath(path);
    ThrowLastErrorIf(!MoveFileW(path.c_str(), backup.c_str()));
    if (onRewritten) onRewritten();
    if (!MoveFileW(temporary.Path().c_str(), path.c_str())) {
        const HRESULT failure = HResultFromLastError();
        MoveFileW(backup.c_str(), path.c_str());
        throw HResultError(failure);
    }
    temporary.Moved();
    DeleteFileW(backup.c_str());
}

void Write(const EmbeddedWriteContext& context, const std::wstring& path, const Change& change,
           const std::function<void()>& onRewritten)
{
    IWICImagingFactory* factory = context.factory.Get();
    std::optional<FILETIME> lastWrite;
    if (!UpdateLastWriteTimeWhenRating()) lastWrite = ReadLastWriteTime(path.c_str());

    OpenedPicture opened;
    try {
        opened = OpenForWriting(factory, path.c_str());
    } catch (const HResultError&) {
        opened = OpenForReading(factory, path.c_str());
    }
    GUID container{};
    const QueryPaths& paths = PathsFor(opened.decoder.Get(), container);
    UINT frames = 0;
    ThrowIfFailed(opened.decoder->GetFrameCount(&frames));
    if (frames == 0) return;

    ComPtr<IWICBitmapFrameDecode> first;
    ThrowIfFailed(opened.decoder->GetFrame(0, &first));
    const bool inPlace = WriteInPlace(factory, first.Get(), paths, change);
    first = nullptr;
    if (inPlace) {
        opened = {};
        RestoreLastWriteTime(path.c_str(), lastWrite);
        return;
    }

    TemporaryFile temporary(path);
    Reencode(factory, opened.decoder.Get(), container, frames, paths, change, context.softwareName, temporary.Path());
    // The picture file must be closed before it can be moved.
    opened = {};
    FinishTemporary(temporary.Path(), lastWrite);
    Swap(path, temporary, onRewritten);
}
}

HRESULT WriteEmbeddedMetadata(const EmbeddedWriteContext& context, const wchar_t* path, int value, bool isLabel,
                              int convention, bool isUrgency, const SYSTEMTIME& time,
                              const std::function<void()>& onRewritten) noexcept
{
    if (!context.factory) return E_UNEXPECTED;
    if (!path || !*path) return E_INVALIDARG;
    return CatchAsHResult([&] {
        Write(context, path, Change{value, isLabel, convention, isUrgency, time}, onRewritten);
        return S_OK;
    });
}
