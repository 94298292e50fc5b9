#include "Viewer/engine/MetadataWriter.h"
#include "Framework/HResultError.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/core/VersionInfo.h"
#include "Viewer/engine/ImageEngine.h"
#include "Viewer/engine/StopQueueWorker.h"
#include "Viewer/imaging/RatingRename.h"
#include "Viewer/imaging/XmpSidecar.h"
#include "Viewer/imaging/WriterMessage.h"
#include <shlwapi.h>
#include <cwchar>

namespace {
constexpr UINT WriteFailedStringId = 10153;
constexpr UINT NowhereToStoreStringId = 10171;
constexpr UINT NowhereToStoreCaptionStringId = 10172;
constexpr UINT SidecarUpdateFailedStringId = 10173;
constexpr UINT WriterCaptionStringId = 10174;
constexpr UINT FormatUnsupportedStringId = 10175;
constexpr DWORD PopTimeoutMilliseconds = 100;
constexpr HRESULT SharingViolation = HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION);

// "Lumenfold a.b.c.d (web address)": the creator tool of re-encoded files and x:xmptk of sidecars.
std::wstring SoftwareName()
{
    WORD major = 0, minor = 0, build = 0, revision = 0;
    GetAppVersion(&major, &minor, &build, &revision, nullptr, 0, nullptr);
    wchar_t text[128];
    swprintf(text, 128, L"Lumenfold %d.%d.%d.%d (https://www.brenholt.example/lumenfold)", major, minor, build,
             revision);
    return text;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
}

HRESULT CMetadataWriter::CreateOwnFactory(IWICImagingFactory** factory)
{
    return CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory));
}

CMetadataWriter::CMetadataWriter(const HWND* owner, CImageEngine& engine, FactoryMaker factoryMaker)
    : m_owner(owner), m_engine(engine), m_factoryMaker(std::move(factoryMaker))
{
    m_thread.Start(L"metadata writer", [this](WorkerThread& self) { return Run(self); },
                   WorkerApartment::MultiThreaded, THREAD_PRIORITY_BELOW_NORMAL);
}

CMetadataWriter::~CMetadataWriter()
{
    StopQueueWorker(m_thread, m_queue);
}

HRESULT CMetadataWriter::QueueMetadataWrite(CImageEntry* entry, int32_t value, bool isLabel, bool isUrgency)
{
    if (!m_thread.Running()) return E_UNEXPECTED;
    if (!entry) return E_INVALIDARG;
    const uint32_t convention = AppSettings::LabellingConvention;
    HRESULT hr = S_OK;
    if (isLabel) hr = m_engine.SetLabelForGroup(entry, value, static_cast<int32_t>(convention));
    if (SUCCEEDED(hr) && isUrgency) hr = m_engine.SetUrgencyForGroup(entry, value);
    if (SUCCEEDED(hr) && !isLabel && !isUrgency) hr = m_engine.SetRatingForGroup(entry, value);
    if (FAILED(hr)) return hr;
    m_queue.Push({value, isLabel, convention, isUrgency, EntryRef(entry)});
    return S_OK;
}

void CMetadataWriter::WaitForEntry(const CImageEntry* entry)
{
    while (m_thread.Running() &&
           (m_queue.AnyOf([entry](const MetadataWriteRequest& queued) { return queued.entry == entry; }) ||
            m_inHand.load() == entry)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_SENDMESSAGE);
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

HRESULT CMetadataWriter::Run(WorkerThread& self)
{
    EmbeddedWriteContext context{SoftwareName(), {}};
    // Without a factory every embedded write fails on its own and says so.
    m_factoryMaker(&context.factory);
    while (!self.StopRequested()) {
        MetadataWriteRequest request;
        const bool taken = m_queue.Pop(request, nullptr, PopTimeoutMilliseconds, [this](MetadataWriteRequest& popped) {
            m_inHand = popped.entry.Get();
            return true;
        });
        if (!taken) continue;
        try {
            Carry(request, context);
        } catch (...) {
            TraceCaughtException(L"metadata writer");
        }
        request.entry.Reset();
        m_inHand = nullptr;
    }
    return S_OK;
}

void CMetadataWriter::Carry(const MetadataWriteRequest& request, const EmbeddedWriteContext& context)
{
    SYSTEMTIME time{};
    GetSystemTime(&time);
    const bool embed = AppSettings::EmbedMetadata != 0;
    const bool createSidecar = AppSettings::CreateSidecarFiles != 0;
    const bool rename = AppSettings::PrefixFileNamesWithRating != 0 && AppSettings::SortByDateTime != 0 &&
                        !request.isLabel && !request.isUrgency;
    if (!embed && !createSidecar && !rename) {
        ShowWriterMessage(m_owner, NowhereToStoreCaptionStringId, MB_ICONINFORMATION, NowhereToStoreStringId);
        return;
    }
    std::wstring basePath, extensions;
    ReadNames(request.entry.Get(), basePath, extensions);
    if (rename) basePath = RenameWithRating(request, basePath, extensions);

    const int convention = static_cast<int>(request.labellingConvention);
    bool sidecarWritten = false;
    if (createSidecar) {
        const std::wstring sidecar = basePath + L".xmp";
        if (Exists(sidecar)) {
            const HRESULT hr = UpdateXmpSidecar(sidecar.c_str(), request.value, request.isLabel, convention,
                                                request.isUrgency, time);
            sidecarWritten = SUCCEEDED(hr);
            if (!sidecarWritten) {
                if (!embed) ResetValue(request);
                ShowWriterMessage(m_owner, WriterCaptionStringId, MB_ICONERROR, SidecarUpdateFailedStringId, sidecar.c_str(), hr);
            }
        } else {
            const std::wstring software = context.softwareName;
            sidecarWritten = SUCCEEDED(CreateXmpSidecar({m_owner, software.c_str()}, sidecar.c_str(), request.value,
                                                        request.isLabel, convention, request.isUrgency, time));
        }
    }
    if (!embed) return;

    bool embeddedWritten = false;
    std::wstring firstUnsupported;
    size_t start = 0;
    while (start <= extensions.size()) {
        size_t end = extensions.find(L';', start);
        if (end == std::wstring::npos) end = extensions.size();
        const std::wstring extension = extensions.substr(start, end - start);
        start = end + 1;
        // The sidecar is written above, never as a picture.
        if (extension.empty() || StrCmpIW(extension.c_str(), L"xmp") == 0) continue;
        const std::wstring path = basePath + L"." + extension;
        const HRESULT hr = WriteWithRetries(context, path, request, time);
        if (hr == MetadataFormatUnsupported) {
            if (firstUnsupported.empty()) firstUnsupported = path;
        } else if (SUCCEEDED(hr)) {
            embeddedWritten = true;
        } else {
            ShowWriterMessage(m_owner, WriterCaptionStringId, MB_ICONERROR, WriteFailedStringId, path.c_str(), hr);
        }
    }
    if (sidecarWritten || embeddedWritten) return;
    ResetValue(request);
    if (!firstUnsupported.empty())
        ShowWriterMessage(m_owner, WriterCaptionStringId, MB_ICONERROR, FormatUnsupportedStringId, firstUnsupported.c_str());
}

HRESULT CMetadataWriter::WriteWithRetries(const EmbeddedWriteContext& context, const std::wstring& path,
                                          const MetadataWriteRequest& request, const SYSTEMTIME& time)
{
    CImageEntry* entry = request.entry.Get();
    const auto rewritten = [entry] { entry->SetEntryFlag(EntryFlagOwnChange); };
    HRESULT hr = S_OK;
    for (int attempt = 1;; ++attempt) {
        hr = WriteEmbeddedMetadata(context, path.c_str(), request.value, request.isLabel,
                                   static_cast<int>(request.labellingConvention), request.isUrgency, time, rewritten);
        if (hr != SharingViolation || attempt == MaxSharingAttempts) return hr;
        m_retryPause();
    }
}

void CMetadataWriter::ResetValue(const MetadataWriteRequest& request)
{
    CImageEntry* entry = request.entry.Get();
    if (request.isLabel)
        m_engine.SetLabelForGroup(entry, -1, static_cast<int32_t>(request.labellingConvention));
    else if (request.isUrgency)
        m_engine.SetUrgencyForGroup(entry, -1);
    else
        m_engine.SetRatingForGroup(entry, -1);
}

void CMetadataWriter::ReadNames(CImageEntry* entry, std::wstring& basePath, std::wstring& extensions)
{
    CriticalSectionScope list(m_engine.ListLock());
    basePath = entry->GetBasePath();
    extensions = std::wstring(entry->GetExtensions().View());
}

std::wstring CMetadataWriter::RenameWithRating(const MetadataWriteRequest& request, std::wstring basePath,
                                               const std::wstring& extensions)
{
    const std::wstring newBasePath = MakeRatingPrefixedName(basePath, request.value);
    if (newBasePath.empty() || newBasePath == basePath) return basePath;
    const RatingRenameHooks hooks{m_owner, [this](const std::wstring& path) { m_engine.AddRenameInProgress(path); }};
    if (!RenameWithRatingPrefix(basePath, newBasePath, extensions, hooks)) return basePath;
    m_engine.RenameEntry(request.entry.Get(), newBasePath);
    std::wstring ignored;
    ReadNames(request.entry.Get(), basePath, ignored);
    return basePath;
}
