// The update check against a feed served by the test itself on 127.0.0.1.
#include "Framework/ComErrorInfo.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/core/UpdateChecker.h"
#include "Viewer/core/UpdateSchedule.h"
#include "Viewer/core/VersionInfo.h"
#include "tests/core/LocalHttpServer.h"
#include "tests/support/RegistrySandbox.h"
#include <gtest/gtest.h>
#include <string>

namespace {
constexpr wchar_t FeedPath[] = L"/bin/versioninfo-en.rss";

VersionParts Running()
{
    VersionParts running{};
    GetAppVersion(&running[0], &running[1], &running[2], &running[3], nullptr, 0, nullptr);
    return running;
}

// The running version with one part raised by one: 0 major, 3 revision.
std::string Raised(size_t part)
{
    VersionParts v = Running();
    ++v[part];
    return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." + std::to_string(v[3]);
}

std::string RunningText()
{
    const VersionParts v = Running();
    return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." + std::to_string(v[3]);
}

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

struct FeedParts {
    std::string version;
    std::string latest;  // the newest release element; left out when empty
    std::string ttl = "<ttl>1440</ttl>";
    std::string namespaceUri = "http://updates.brenholt.example/schemas/appsyn.xsd";
    std::string description = "<description>Faster stepping</description>";
};

std::string Feed(const FeedParts& p)
{
    std::string item = "<item><title>Lumenfold</title>" + p.description;
    if (!p.version.empty()) item += "<as:version>" + p.version + "</as:version>";
    if (!p.latest.empty()) item += "<as:LatestVersion>" + p.latest + "</as:LatestVersion>";
    item += "</item>";
    return "<?xml version=\"1.0\"?><rss version=\"2.0\" xmlns:as=\"" + p.namespaceUri + "\"><channel>" + p.ttl +
           item + "</channel></rss>";
}

class UpdateCheck : public testing::Test {
protected:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        LanguageResources::LanguageCode = L"EN";
        LanguageResources::EditionCode = L"";
    }
    void TearDown() override
    {
        LanguageResources::LanguageCode.Free();
        LanguageResources::EditionCode.Free();
        CoUninitialize();
    }

    // Serves answer at the feed's path and runs one check against it.
    HRESULT Check(const HttpAnswer& answer, bool manual, bool ignoreRevision)
    {
        LocalHttpServer server([&](const std::string&) { return answer; });
        EXPECT_NE(0, server.Port());
        CUpdateChecker checker(server.Address(FeedPath));
        Bstr latest, description;
        ttl = 7;
        const HRESULT hr = checker.CheckForUpdate(&ttl, &latest, manual, ignoreRevision, &description);
        version = std::wstring(latest.View());
        this->description = std::wstring(description.View());
        error = FAILED(hr) ? TakeErrorDescription() : L"";
        requests = server.Requests();
        address = server.Address(FeedPath);
        return hr;
    }

    UINT ttl = 0;
    std::wstring version, description, error, address;
    std::vector<HttpRequestRecord> requests;
};

TEST_F(UpdateCheck, ANewerVersionIsFoundWithItsDescriptionAndTimeToLive)
{
    EXPECT_EQ(S_OK, Check({200, "OK", Feed({Raised(0)})}, false, true));
    EXPECT_EQ(Wide(Raised(0)), version);
    EXPECT_EQ(L"Faster stepping", description);
    EXPECT_EQ(1440u, ttl);
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ("GET /bin/versioninfo-en.rss HTTP/1.1", requests[0].requestLine);
    EXPECT_EQ("Lumenfold64/" + RunningText() + "-en", requests[0].userAgent);
}

TEST_F(UpdateCheck, TheManualCheckSaysSoAndNamesTheEdition)
{
    LanguageResources::EditionCode = L"OEM1";
    EXPECT_EQ(S_FALSE, Check({200, "OK", Feed({RunningText()})}, true, false));
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ("Lumenfold64/" + RunningText() + "-en-OEM1/m", requests[0].userAgent);
}

struct VersionCase {
    const char* name;
    std::string version;  // as:version
    std::string latest;   // as:LatestVersion
    bool manual;
    bool ignoreRevision;
    HRESULT expected;
    std::string expectedVersion;
};

void PrintTo(const VersionCase& c, std::ostream* out)
{
    *out << c.name;
}

class UpdateVersions : public UpdateCheck, public testing::WithParamInterface<VersionCase> {};

TEST_P(UpdateVersions, AreComparedPartByPart)
{
    const VersionCase& c = GetParam();
    EXPECT_EQ(c.expected, Check({200, "OK", Feed({c.version, c.latest})}, c.manual, c.ignoreRevision));
    EXPECT_EQ(Wide(c.expectedVersion), version);
}

INSTANTIATE_TEST_SUITE_P(
    UpdateCheck, UpdateVersions,
    testing::Values(VersionCase{"Same", RunningText(), "", false, true, S_FALSE, RunningText()},
                    VersionCase{"NewerBuild", Raised(2), "", false, true, S_OK, Raised(2)},
                    VersionCase{"RevisionOnlyAtStartUp", Raised(3), "", false, true, S_FALSE, Raised(3)},
                    VersionCase{"RevisionOnlyByHand", Raised(3), "", true, false, S_OK, Raised(3)},
                    VersionCase{"ManualPrefersTheLatestElement", RunningText(), Raised(1), true, false, S_OK, Raised(1)},
                    VersionCase{"StartUpReadsOnlyTheVersionElement", RunningText(), Raised(1), false, true, S_FALSE,
                                RunningText()},
                    VersionCase{"ManualFallsBackToTheVersionElement", Raised(0), "", true, false, S_OK, Raised(0)},
                    VersionCase{"PartsNotGivenCountAsZero", "999", "", false, true, S_OK, "999"}),
    [](const testing::TestParamInfo<VersionCase>& info) { return std::string(info.param.name); });

TEST(UpdateVersion, IsNewerByTheFirstPartThatDiffers)
{
    const VersionParts running{4, 2, 17, 3};
    struct { const wchar_t* text; bool ignoreRevision; bool newer; } cases[] = {
        {L"4.2.17.3", false, false}, {L"4.2.17.4", false, true},  {L"4.2.17.4", true, false},
        {L"4.2.18.0", true, true},   {L"4.3.0.0", true, true},    {L"5.0.0.0", true, true},
        {L"3.99.99.99", false, false}, {L"4.1.99.99", false, false}, {L"4.2.16.99", false, false},
        {L"4.2", false, false},      {L"5", true, true},          {L"", false, false},
        {L"version", false, false},  {nullptr, false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.newer, IsNewerVersion(c.text, running, c.ignoreRevision))
            << testing::PrintToString(c.text ? c.text : L"(null)") << " ignoring revision " << c.ignoreRevision;
}

TEST_F(UpdateCheck, TheShorterNamespaceFormIsAcceptedToo)
{
    FeedParts parts{Raised(0)};
    parts.namespaceUri = "http://updates.brenholt.example/schemas/appsyn";
    EXPECT_EQ(S_OK, Check({200, "OK", Feed(parts)}, false, true));
    EXPECT_EQ(Wide(Raised(0)), version);
}

TEST_F(UpdateCheck, NotModifiedIsNoNewsAndOtherStatusesAreReported)
{
    EXPECT_EQ(S_FALSE, Check({304, "Not Modified", ""}, false, true));
    EXPECT_EQ(L"", version);

    EXPECT_EQ(E_FAIL, Check({404, "Not Found", "gone"}, false, true));
    EXPECT_EQ(L"CUpdateChecker::CheckForUpdate(181) : HTTP 404 :: Not Found :: " + address, error);

    EXPECT_EQ(E_FAIL, Check({404, "", "gone"}, false, true));
    EXPECT_EQ(L"CUpdateChecker::CheckForUpdate(181) : HTTP 404", error);
}

TEST_F(UpdateCheck, BrokenFeedsFailWithTheirReport)
{
    EXPECT_EQ(E_FAIL, Check({200, "OK", "<rss><channel>"}, false, true));
    EXPECT_EQ(0u, error.rfind(L"CUpdateChecker::CheckForParsingError(245) : XML Parsing Error 0x", 0))
        << testing::PrintToString(error);

    EXPECT_EQ(E_FAIL, Check({200, "OK", Feed({""})}, false, true));
    EXPECT_EQ(L"Unexpected data format. The node \"/rss/channel/item/as:version\" was not found in XML document.",
              error);

    FeedParts noTtl{Raised(0)};
    noTtl.ttl = "";
    EXPECT_EQ(E_FAIL, Check({200, "OK", Feed(noTtl)}, false, true));
    EXPECT_EQ(L"Unexpected data format. The node \"/rss/channel/ttl\" was not found in XML document.", error);
}

TEST_F(UpdateCheck, ATimeToLiveThatIsNoNumberReadsAsZero)
{
    FeedParts parts{Raised(0)};
    parts.ttl = "<ttl>daily</ttl>";
    EXPECT_EQ(S_OK, Check({200, "OK", Feed(parts)}, false, true));
    EXPECT_EQ(0u, ttl);
}

TEST_F(UpdateCheck, WithoutAFeedOrAPlaceForTheVersionNothingIsAsked)
{
    Bstr latest;
    UINT minutes = 0;
    EXPECT_EQ(E_UNEXPECTED, CUpdateChecker(L"").CheckForUpdate(&minutes, &latest, false, true, nullptr));

    LocalHttpServer server([](const std::string&) { return HttpAnswer{200, "OK", Feed({"1.0.0.0"})}; });
    EXPECT_EQ(E_FAIL, CUpdateChecker(server.Address(FeedPath)).CheckForUpdate(&minutes, nullptr, false, true, nullptr));
}

TEST_F(UpdateCheck, ARefusedConnectionFails)
{
    unsigned short closedPort = 0;
    {
        LocalHttpServer server([](const std::string&) { return HttpAnswer{}; });
        closedPort = server.Port();
    }
    Bstr latest;
    UINT minutes = 0;
    CUpdateChecker checker(L"http://127.0.0.1:" + std::to_wstring(closedPort) + FeedPath);
    EXPECT_TRUE(FAILED(checker.CheckForUpdate(&minutes, &latest, false, true, nullptr)));
}

TEST(UpdateClock, CountsWholeMinutesSinceItsStart)
{
    SYSTEMTIME time{2007, 11, 0, 30, 2, 2, 36, 0};
    FILETIME file{};
    SystemTimeToFileTime(&time, &file);
    EXPECT_EQ(1u, UpdateClockFrom(file));
    time = {2008, 11, 0, 30, 2, 1, 35, 999};  // a leap year later, less a millisecond
    SystemTimeToFileTime(&time, &file);
    EXPECT_EQ(366u * 24 * 60 - 1, UpdateClockFrom(file));
}

// ---- The start-up's bookkeeping -------------------------------------------------------------

class StartupUpdate : public UpdateCheck {
protected:
    void SetUp() override
    {
        UpdateCheck::SetUp();
        ASSERT_EQ(ERROR_SUCCESS, settings.Create(HKEY_CURRENT_USER, L"SOFTWARE\\Brenholt\\Lumenfold"));
    }
    void StoreInstalledVersion() { settings.SetString(L"InstalledVersion", Wide(RunningText())); }
    // Runs the start-up's step against a server answering answer; returns how many requests it made.
    size_t RunAt(DWORD now, const HttpAnswer& answer)
    {
        LocalHttpServer server([&](const std::string&) { return answer; });
        result = RunDueUpdateCheck(settings, now, server.Address(FeedPath));
        return server.Requests().size();
    }

    RegistrySandbox sandbox;
    RegKey settings;
    StartupUpdateResult result;
};

TEST_F(StartupUpdate, TheFirstStartOfAVersionRecordsItAndChecksNothing)
{
    settings.SetString(L"InstalledVersion", L"3.1.0.0");
    settings.SetString(L"NewVersionAvailable", L"9.9.9.9");
    settings.SetString(L"NewVersionDescription", L"old news");
    EXPECT_EQ(0u, RunAt(5000, {200, "OK", Feed({Raised(0)})}));
    EXPECT_EQ(Wide(RunningText()), settings.QueryString(L"InstalledVersion"));
    EXPECT_EQ(5000u, settings.QueryDword(L"LastUpdateCheck"));
    EXPECT_EQ(10080u, settings.QueryDword(L"UpdateCheckInterval"));
    EXPECT_FALSE(settings.QueryString(L"NewVersionAvailable"));
    EXPECT_FALSE(settings.QueryString(L"NewVersionDescription"));
    EXPECT_FALSE(result.newVersionAvailable);
}

TEST_F(StartupUpdate, ADueCheckRecordsTheNewVersionAndTheFeedsInterval)
{
    StoreInstalledVersion();
    settings.SetDword(L"LastUpdateCheck", 1000);
    settings.SetDword(L"UpdateCheckInterval", 60);
    EXPECT_EQ(0u, RunAt(1059, {200, "OK", Feed({Raised(0)})})) << "not due one minute early";
    EXPECT_EQ(1u, RunAt(1060, {200, "OK", Feed({Raised(0)})}));
    EXPECT_TRUE(result.newVersionAvailable);
    EXPECT_EQ(L"Faster stepping", result.description.View());
    EXPECT_EQ(Wide(Raised(0)), settings.QueryString(L"NewVersionAvailable"));
    EXPECT_EQ(L"Faster stepping", settings.QueryString(L"NewVersionDescription"));
    EXPECT_EQ(1440u, settings.QueryDword(L"UpdateCheckInterval"));
    EXPECT_EQ(1060u, settings.QueryDword(L"LastUpdateCheck"));
}

TEST_F(StartupUpdate, AFailedCheckRecordsOnlyItsTimeAndIntervalZeroNeverChecks)
{
    StoreInstalledVersion();
    settings.SetDword(L"LastUpdateCheck", 0);
    settings.SetDword(L"UpdateCheckInterval", 60);
    EXPECT_EQ(1u, RunAt(100, {404, "Not Found", ""}));
    EXPECT_EQ(100u, settings.QueryDword(L"LastUpdateCheck"));
    EXPECT_EQ(60u, settings.QueryDword(L"UpdateCheckInterval"));
    EXPECT_FALSE(settings.QueryString(L"NewVersionAvailable"));

    settings.SetDword(L"UpdateCheckInterval", 0);
    EXPECT_EQ(0u, RunAt(100000, {200, "OK", Feed({Raised(0)})}));
}
}  // namespace
