#include "Viewer/core/UpdateChecker.h"
#include "Framework/ComPtr.h"
#include "Framework/ComErrorInfo.h"
#include "Framework/HResultError.h"
#include "Framework/MsxmlIds.h"
#include "Framework/Variant.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/VersionInfo.h"
#include <cwchar>
#include <cwctype>
#include <iterator>
#include <string>

namespace {
constexpr long HttpOk = 200;
constexpr long HttpNotModified = 304;
constexpr size_t UserAgentChars = 80;
constexpr size_t ParseReportChars = 1024;
constexpr size_t MissingNodeReportChars = 512;

constexpr wchar_t LatestVersionPath[] = L"/rss/channel/item/as:LatestVersion";
constexpr wchar_t VersionPath[] = L"/rss/channel/item/as:version";
constexpr wchar_t DescriptionPath[] = L"/rss/channel/item/description";
constexpr wchar_t TtlPath[] = L"/rss/channel/ttl";

VARIANT VariantOf(bool value) noexcept
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

VARIANT EmptyVariant() noexcept
{
    VARIANT v;
    VariantInit(&v);
    return v;
}

// The first of the classes that can be made, or the last failure.
template <class Interface, size_t Count>
ComPtr<Interface> CreateFirstOf(const CLSID (&classes)[Count])
{
    HRESULT last = REGDB_E_CLASSNOTREG;
    for (const CLSID& clsid : classes) {
        ComPtr<Interface> object;
        last = object.CoCreate(clsid, CLSCTX_ALL);
        if (SUCCEEDED(last)) return object;
    }
    throw HResultError(last);
}

std::wstring TrimTrailingBlanks(std::wstring text)
{
    while (!text.empty() && std::iswspace(text.back())) text.pop_back();
    return text;
}

// An HTTP or parse failure: the reporting place, its line, and the message.
void ReportAt(const wchar_t* source, int line, const std::wstring& message)
{
    SetErrorDescription(TrimTrailingBlanks(std::wstring(source) + L"(" + std::to_wstring(line) + L") : " + message));
}

std::wstring UserAgent(const VersionParts& version, bool manualCheck)
{
    std::wstring language(LanguageResources::LanguageCode.View());
    for (wchar_t& c : language) c = wchar_t(std::towlower(c));
    const std::wstring_view edition = LanguageResources::EditionCode.View();
    wchar_t text[UserAgentChars + 1] = L"";
    std::swprintf(text, std::size(text), L"Lumenfold64/%d.%d.%d.%d-%ls%ls%ls%ls", version[0], version[1], version[2],
                  version[3], language.c_str(), edition.empty() ? L"" : L"-",
                  std::wstring(edition).c_str(), manualCheck ? L"/m" : L"");
    return text;
}

// The node's text: S_OK; not found, reported: E_FAIL with the missing-node report; not found,
// unreported: S_FALSE.
HRESULT SelectNodeText(IXMLDOMDocument2* document, const wchar_t* path, Bstr& text, bool report)
{
    if (!path || !*path) return E_INVALIDARG;
    ComPtr<IXMLDOMNode> node;
    if (SUCCEEDED(document->selectSingleNode(Bstr(path).Get(), &node)) && node &&
        SUCCEEDED(node->get_text(&text)))
        return S_OK;
    if (!report) return S_FALSE;
    std::wstring message =
        L"Unexpected data format. The node \"" + std::wstring(path) + L"\" was not found in XML document.";
    if (message.size() > MissingNodeReportChars - 1) message.resize(MissingNodeReportChars - 1);
    SetErrorDescription(message);
    return E_FAIL;
}

void UseNamespace(IXMLDOMDocument2* document, const wchar_t* uri)
{
    const Bstr declaration(std::wstring(L"xmlns:as='") + uri + L"'");
    ThrowIfFailed(document->setProperty(Bstr(L"SelectionNamespaces").Get(), LentTextVariant(declaration)));
}

// The HTTP exchange: the feed's text, or nothing for 304 (not modified).
bool Fetch(const Bstr& address, bool manualCheck, const VersionParts& version, Bstr& response)
{
    ComPtr<IXMLHTTPRequest> request = CreateFirstOf<IXMLHTTPRequest>(XmlHttpClasses);
    ThrowIfFailed(request->open(Bstr(L"GET").Get(), address.Get(), VariantOf(false), EmptyVariant(), EmptyVariant()));
    ThrowIfFailed(request->setRequestHeader(Bstr(L"User-Agent").Get(), Bstr(UserAgent(version, manualCheck)).Get()));
    ThrowIfFailed(request->send(EmptyVariant()));
    long status = 0;
    ThrowIfFailed(request->get_status(&status));
    if (status == HttpNotModified) return false;
    if (status != HttpOk) {
        Bstr statusText;
        request->get_statusText(&statusText);
        std::wstring message = L"HTTP " + std::to_wstring(status);
        if (!statusText.Empty())
            message += L" :: " + std::wstring(statusText.View()) + L" :: " + std::wstring(address.View());
        ReportAt(L"CUpdateChecker::CheckForUpdate", 181, message);
        throw HResultError(E_FAIL);
    }
    ThrowIfFailed(request->get_responseText(&response));
    return true;
}

ComPtr<IXMLDOMDocument2> Parse(const Bstr& text)
{
    ComPtr<IXMLDOMDocument2> document = CreateFirstOf<IXMLDOMDocument2>(FreeThreadedXmlDocumentClasses);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    document->loadXML(text.Get(), &loaded);
    ComPtr<IXMLDOMParseError> error;
    ThrowIfFailed(document->get_parseError(&error));
    long code = 0, line = 0, position = 0;
    ThrowIfFailed(error->get_errorCode(&code));
    if (code == 0) return document;
    error->get_line(&line);
    error->get_linepos(&position);
    Bstr reason, url;
    error->get_reason(&reason);
    error->get_url(&url);
    wchar_t message[ParseReportChars] = L"";
    std::swprintf(message, std::size(message), L"XML Parsing Error 0x%08lx at line %d, position %d: %ls %ls",
                  static_cast<unsigned long>(code), int(line), int(position), reason.c_str(), url.c_str());
    ReportAt(L"CUpdateChecker::CheckForParsingError", 245, message);
    throw HResultError(E_FAIL);
}

// The manual check asks for the newest release element first, in both namespace forms, unreported
// when the second form has none either; every check then asks for the version element, again in
// the long form first: a feed in the long form without the newest release element still has its
// version found by hand.
Bstr SelectVersion(IXMLDOMDocument2* document, bool manualCheck)
{
    Bstr version;
    if (manualCheck) {
        if (SelectNodeText(document, LatestVersionPath, version, true) == S_OK) return version;
        UseNamespace(document, kAppSyndicationNamespaceShort);
        if (SelectNodeText(document, LatestVersionPath, version, false) == S_OK) return version;
        UseNamespace(document, kAppSyndicationNamespace);
    }
    if (SelectNodeText(document, VersionPath, version, true) == S_OK) return version;
    UseNamespace(document, kAppSyndicationNamespaceShort);
    ThrowIfFailed(SelectNodeText(document, VersionPath, version, true));
    return version;
}

}  // namespace

bool IsNewerVersion(const wchar_t* versionText, const VersionParts& running, bool ignoreRevision) noexcept
{
    int parts[4] = {0, 0, 0, 0};
    swscanf(versionText ? versionText : L"", L"%d.%d.%d.%d", &parts[0], &parts[1], &parts[2], &parts[3]);
    for (size_t i = 0; i < (ignoreRevision ? 3u : 4u); ++i)
        if (parts[i] != int(running[i])) return parts[i] > int(running[i]);
    return false;
}

CUpdateChecker::CUpdateChecker(std::wstring_view feedAddress) : m_feedAddress(feedAddress) {}

HRESULT CUpdateChecker::CheckForUpdate(UINT* ttl, BSTR* latestVersion, bool manualCheck, bool ignoreRevision,
                                       BSTR* description) noexcept
{
    if (m_feedAddress.Empty()) return E_UNEXPECTED;
    return CatchAsHResult([&]() -> HRESULT {
        VersionParts running{};
        GetAppVersion(&running[0], &running[1], &running[2], &running[3], nullptr, 0, nullptr);
        Bstr response;
        if (!Fetch(m_feedAddress, manualCheck, running, response)) return S_FALSE;

        ComPtr<IXMLDOMDocument2> document = Parse(response);
        UseNamespace(document.Get(), kAppSyndicationNamespace);
        Bstr version = SelectVersion(document.Get(), manualCheck);
        if (!latestVersion) return E_FAIL;
        if (description) {
            Bstr text;
            SelectNodeText(document.Get(), DescriptionPath, text, true);
            *description = text.Detach();
        }
        Bstr ttlText;
        ThrowIfFailed(SelectNodeText(document.Get(), TtlPath, ttlText, true));
        if (ttl) *ttl = UINT(std::wcstol(ttlText.c_str(), nullptr, 10));

        const bool newer = IsNewerVersion(version.c_str(), running, ignoreRevision);
        *latestVersion = version.Detach();
        return newer ? S_OK : S_FALSE;
    });
}
