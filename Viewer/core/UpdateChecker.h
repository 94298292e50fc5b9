#pragma once
// Learns of newer releases from the maker's update feed: an RSS document with App Syndication
// elements, fetched with the platform's XML HTTP component and read with XPath.
#include "Framework/Bstr.h"
#include "Viewer/core/VersionInfo.h"
#include <windows.h>
#include <string_view>

// The maker's feed, and the App Syndication namespaces the feed's version elements may carry.
inline constexpr wchar_t kUpdateFeedAddress[] = L"http://updates.brenholt.example/bin/versioninfo-en.rss";
inline constexpr wchar_t kAppSyndicationNamespace[] = L"http://updates.brenholt.example/schemas/appsyn.xsd";
inline constexpr wchar_t kAppSyndicationNamespaceShort[] = L"http://updates.brenholt.example/schemas/appsyn";

// The feed's "%d.%d.%d.%d" text (parts not given count as 0) names a later version than running:
// greater in the first part that differs, the revision left out when ignoreRevision.
bool IsNewerVersion(const wchar_t* versionText, const VersionParts& running, bool ignoreRevision) noexcept;

class CUpdateChecker {
public:
    explicit CUpdateChecker(std::wstring_view feedAddress);
    CUpdateChecker(const CUpdateChecker&) = delete;
    CUpdateChecker& operator=(const CUpdateChecker&) = delete;
    virtual ~CUpdateChecker() = default;

    // S_OK when the feed names a newer version than the running one; S_FALSE when it does not and
    // when the server answers 304; E_UNEXPECTED without a feed address; else the failure, with the
    // thread's COM error information describing the HTTP, parse or missing-node case. ttl receives
    // the feed's time-to-live in minutes; latestVersion (required) the newest version's text;
    // description (optional) the newest item's description or null. manualCheck changes the
    // User-Agent and the order of the version queries; ignoreRevision leaves the fourth part out.
    HRESULT CheckForUpdate(UINT* ttl, BSTR* latestVersion, bool manualCheck, bool ignoreRevision,
                           BSTR* description) noexcept;

private:
    Bstr m_feedAddress;
};
