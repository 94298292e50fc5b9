#include "Viewer/imaging/XmpSidecar.h"
#include "Framework/ModalSeam.h"
#include "Framework/UniqueHandle.h"
#include "Viewer/core/AppSettings.h"
#include "tests/support/ScopedResourceModule.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {
const SYSTEMTIME ChangeTime = {2026, 12, 4, 10, 13, 5, 7, 123};
const wchar_t Software[] = L"Lumenfold 1.2.3.4 (https://lumenfold.example)";

// The XML object may repeat namespace declarations on the elements it adds, so updated files are
// checked for their values, not for one exact spelling.
std::string ReadAll(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::wstring& path, const std::string& text)
{
    std::ofstream(path.c_str(), std::ios::binary) << text;
}

// A sidecar as another program writes it: its own prefix for the XMP namespace, attribute form,
// and properties this program does not know.
const char ForeignSidecar[] =
    "<?xpacket begin=\"\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
    "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\" x:xmptk=\"Other 5\">\n"
    " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
    "  <rdf:Description rdf:about=\"\" xmlns:xap=\"http://ns.adobe.com/xap/1.0/\"\n"
    "    xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xap:Rating=\"2\" xap:Label=\"Blue\">\n"
    "   <dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">Harbour</rdf:li></rdf:Alt></dc:title>\n"
    "  </rdf:Description>\n"
    " </rdf:RDF>\n"
    "</x:xmpmeta>\n"
    "<?xpacket end=\"w\"?>";

class XmpSidecarFiles : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))); }
    void TearDown() override
    {
        AppSettings::LabellingConvention = 0;
        CoUninitialize();
    }

    HRESULT Create(int value, bool isLabel, int convention, bool isUrgency)
    {
        return CreateXmpSidecar({&m_window, Software}, m_sidecar.c_str(), value, isLabel, convention, isUrgency,
                                ChangeTime);
    }

    RatingWords Read(HRESULT expected)
    {
        RatingWords words{-7, -7, -7, -7};
        EXPECT_EQ(expected, ReadXmpSidecar(m_picture.c_str(), words));
        return words;
    }

    TempFolder m_folder;
    std::wstring m_picture = m_folder.File(L"DSC_0042.NEF");
    std::wstring m_sidecar = m_folder.File(L"DSC_0042.xmp");
    HWND m_window = nullptr;
};
}

TEST(XmpSidecar, PathPercentAndDateText)
{
    EXPECT_EQ(L"C:\\p\\a.b\\IMG_1.xmp", SidecarPathFor(L"C:\\p\\a.b\\IMG_1.CR2"));
    EXPECT_EQ(L"C:\\p\\a.b\\IMG_1.xmp", SidecarPathFor(L"C:\\p\\a.b\\IMG_1"));
    EXPECT_EQ(L"", SidecarPathFor(L""));
    const int percent[] = {0, 1, 25, 50, 75, 99, 0};
    for (int rating = 0; rating <= 6; ++rating) EXPECT_EQ(percent[rating], RatingToPercent(rating)) << rating;
    EXPECT_EQ(L"2026-12-10T13:05:07.12+00:00", FormatMetadataDate(ChangeTime));
}

TEST_F(XmpSidecarFiles, RatingCreatesExactlyTheOneLineText)
{
    ASSERT_EQ(S_OK, Create(3, false, 0, false));
    EXPECT_EQ("<x:xmpmeta xmlns:x=\"adobe:ns:meta/\" x:xmptk=\"Lumenfold 1.2.3.4 (https://lumenfold.example)\">"
              "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
              "<rdf:Description rdf:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\">"
              "<xmp:MetadataDate>2026-12-10T13:05:07.12+00:00</xmp:MetadataDate><xmp:Rating>3</xmp:Rating>"
              "</rdf:Description><rdf:Description rdf:about=\"\" xmlns:MicrosoftPhoto=\"http://ns.microsoft.com/photo/1.0/\">"
              "<MicrosoftPhoto:Rating>50</MicrosoftPhoto:Rating></rdf:Description></rdf:RDF></x:xmpmeta>",
              ReadAll(m_sidecar));
    RatingWords words = Read(S_OK);
    EXPECT_EQ(3, words.rating);
    EXPECT_EQ(50, words.ratingPercent);
    EXPECT_EQ(-7, words.label) << "absent properties keep the caller's words";
}

TEST_F(XmpSidecarFiles, UrgencyAndLabelBodies)
{
    const std::string head = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\" x:xmptk=\"Lumenfold 1.2.3.4 (https://lumenfold.example)\">"
                             "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">";
    const std::string urgency2 = "<rdf:Description rdf:about=\"\" xmlns:photoshop=\"http://ns.adobe.com/photoshop/1.0/\">"
                                 "<photoshop:Urgency>2</photoshop:Urgency></rdf:Description>";
    const std::string dated = "<rdf:Description rdf:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\">"
                              "<xmp:MetadataDate>2026-12-10T13:05:07.12+00:00</xmp:MetadataDate>";
    const std::string tail = "</rdf:Description></rdf:RDF></x:xmpmeta>";
    struct { int value; bool isLabel; int convention; bool isUrgency; std::string expected; } cases[] = {
        {0, false, 0, true, head + dated + tail},
        {2, false, 0, true, head + urgency2 + dated + tail},
        {0, true, 1, false, head + dated + "<xmp:Label></xmp:Label>" + tail},
        {2, true, 0, false, head + dated + "<xmp:Label>Yellow</xmp:Label>" + tail},
        {2, true, 1, false, head + urgency2 + dated + "<xmp:Label>Orange</xmp:Label>" + tail},
        {2, true, 2, false, head + urgency2 + dated + "<xmp:Label>Green</xmp:Label>" + tail},
        {2, true, 2, true, head + urgency2 + dated + "<xmp:Label>Green</xmp:Label>" + tail},
    };
    for (auto& c : cases) {
        ASSERT_EQ(S_OK, Create(c.value, c.isLabel, c.convention, c.isUrgency));
        EXPECT_EQ(c.expected, ReadAll(m_sidecar)) << c.value << c.isLabel << c.convention << c.isUrgency;
    }
}

TEST_F(XmpSidecarFiles, CreationFailureIsShownAndReported)
{
    ScopedResourceModule strings(L"Lumenfold.Core.EN.dll");
    ASSERT_TRUE(strings.Loaded());
    std::vector<std::wstring> boxes;
    ScopedModalSeam seam({.messageBox = [&](HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
        boxes.push_back(std::wstring(text) + L"|" + caption + L"|" + std::to_wstring(type));
        return IDOK;
    }});
    m_sidecar = m_folder.File(L"missing\\DSC_0042.xmp");
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), Create(3, false, 0, false));
    EXPECT_EQ(std::vector<std::wstring>{L"The sidecar file could not be created:\r\n" + m_sidecar + L"|Rating|" +
                                        std::to_wstring(MB_ICONERROR)},
              boxes);
}

TEST_F(XmpSidecarFiles, ReadsElementAndAttributeFormsAndMapsPercentages)
{
    struct { const char* description; RatingWords expected; HRESULT result; } cases[] = {
        {"<xmp:Rating>4</xmp:Rating><MicrosoftPhoto:Rating>150</MicrosoftPhoto:Rating>", {99, 4, -7, -7}, S_OK},
        {"<MicrosoftPhoto:Rating>-5</MicrosoftPhoto:Rating><xmp:Rating>0</xmp:Rating>", {-1, -1, -7, -7}, S_FALSE},
        {"<xmp:Rating>7</xmp:Rating><photoshop:Urgency>9</photoshop:Urgency>", {-7, -1, -7, 9}, S_OK},
        {"<xmp:Label>Cyan</xmp:Label><photoshop:Urgency>0</photoshop:Urgency>", {-7, -7, 5, -1}, S_OK},
        {"<dc:format>image/x-nikon-nef</dc:format>", {-7, -7, -7, -7}, S_FALSE},
    };
    AppSettings::LabellingConvention = 1;
    for (auto& c : cases) {
        WriteAll(m_sidecar, std::string("<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF "
                                        "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
                                        "<rdf:Description rdf:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" "
                                        "xmlns:MicrosoftPhoto=\"http://ns.microsoft.com/photo/1.0/\" "
                                        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
                                        "xmlns:photoshop=\"http://ns.adobe.com/photoshop/1.0/\">") +
                                c.description + "</rdf:Description></rdf:RDF></x:xmpmeta>");
        RatingWords words = Read(c.result);
        EXPECT_EQ(c.expected.ratingPercent, words.ratingPercent) << c.description;
        EXPECT_EQ(c.expected.rating, words.rating) << c.description;
        EXPECT_EQ(c.expected.label, words.label) << c.description;
        EXPECT_EQ(c.expected.urgency, words.urgency) << c.description;
    }

    WriteAll(m_sidecar, ForeignSidecar);
    RatingWords words = Read(S_OK);
    EXPECT_EQ(2, words.rating);
    EXPECT_EQ(6, words.label) << "Blue under convention 1";
}

TEST_F(XmpSidecarFiles, MissingOrMalformedSidecarIsReported)
{
    RatingWords words = Read(S_FALSE);
    EXPECT_EQ(-7, words.rating);
    WriteAll(m_sidecar, "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF>");
    Read(E_UNEXPECTED);
    RatingWords untouched{};
    EXPECT_EQ(E_FAIL, ReadXmpSidecar(L"", untouched));
}

TEST_F(XmpSidecarFiles, UpdateKeepsTheOtherProgramsContentFormAndPrefixes)
{
    WriteAll(m_sidecar, ForeignSidecar);
    ASSERT_EQ(S_OK, UpdateXmpSidecar(m_sidecar.c_str(), 4, false, 0, false, ChangeTime));
    std::string text = ReadAll(m_sidecar);
    EXPECT_NE(std::string::npos, text.find("xap:Rating=\"4\"")) << text;
    EXPECT_NE(std::string::npos, text.find("xap:Label=\"Blue\"")) << text;
    EXPECT_NE(std::string::npos, text.find(">2026-12-10T13:05:07.12+00:00</xap:MetadataDate>")) << text;
    EXPECT_NE(std::string::npos, text.find("Harbour")) << text;
    EXPECT_NE(std::string::npos, text.find("x:xmptk=\"Other 5\"")) << text;
    EXPECT_NE(std::string::npos, text.find(">75</MicrosoftPhoto:Rating>")) << text;
    EXPECT_EQ(std::string::npos, text.find("xmp:")) << text;
    RatingWords words = Read(S_OK);
    EXPECT_EQ(4, words.rating);
    EXPECT_EQ(75, words.ratingPercent);
}

TEST_F(XmpSidecarFiles, ClearingTheLastPropertyRemovesItsDescription)
{
    ASSERT_EQ(S_OK, Create(3, false, 0, false));
    ASSERT_EQ(S_OK, UpdateXmpSidecar(m_sidecar.c_str(), 0, false, 0, false, ChangeTime));
    std::string text = ReadAll(m_sidecar);
    EXPECT_EQ(std::string::npos, text.find("Rating")) << text;
    EXPECT_EQ(std::string::npos, text.find("MicrosoftPhoto")) << "its Description went with it: " << text;
    EXPECT_NE(std::string::npos, text.find("xmp:MetadataDate")) << text;

    // Attribute form, cleared: the Description keeps its other properties.
    WriteAll(m_sidecar, ForeignSidecar);
    ASSERT_EQ(S_OK, UpdateXmpSidecar(m_sidecar.c_str(), 0, true, 0, false, ChangeTime));
    text = ReadAll(m_sidecar);
    EXPECT_EQ(std::string::npos, text.find("Label")) << text;
    EXPECT_NE(std::string::npos, text.find("xap:Rating=\"2\"")) << text;
}

TEST_F(XmpSidecarFiles, LabelUpdatesUrgencyOnlyUnderConvention1)
{
    for (int convention : {1, 2}) {
        ASSERT_EQ(S_OK, Create(4, false, 0, false));
        ASSERT_EQ(S_OK, UpdateXmpSidecar(m_sidecar.c_str(), 5, true, convention, false, ChangeTime));
        std::string text = ReadAll(m_sidecar);
        EXPECT_EQ(convention == 1, text.find(">5</photoshop:Urgency>") != std::string::npos) << text;
        EXPECT_NE(std::string::npos, text.find(convention == 1 ? ">Cyan</xmp:Label>" : ">Magenta</xmp:Label>"))
            << text;
    }
}

TEST_F(XmpSidecarFiles, StructureIsAddedWhereMissingAndBadFilesAreLeftAlone)
{
    WriteAll(m_sidecar, "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"/>");
    ASSERT_EQ(S_OK, UpdateXmpSidecar(m_sidecar.c_str(), 2, false, 0, true, ChangeTime));
    RatingWords words = Read(S_OK);
    EXPECT_EQ(2, words.urgency);

    // The RDF namespace declared on x:xmpmeta: the file's own rdf:RDF is still the one updated.
    WriteAll(m_sidecar, "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\" xmlns:r=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
                        "<r:RDF><r:Description r:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\"/></r:RDF></x:xmpmeta>");
    ASSERT_EQ(S_OK, UpdateXmpSidecar(m_sidecar.c_str(), 5, false, 0, false, ChangeTime));
    std::string text = ReadAll(m_sidecar);
    EXPECT_NE(std::string::npos, text.find("<r:RDF")) << text;
    EXPECT_EQ(std::string::npos, text.find("rdf:RDF")) << "no second RDF element: " << text;
    EXPECT_NE(std::string::npos, text.find("<r:Description")) << "new Descriptions take the file's rdf prefix: " << text;
    EXPECT_EQ(5, Read(S_OK).rating);

    const std::string notXmp = "<metadata><rating>3</rating></metadata>";
    const std::string broken = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF";
    for (const std::string& content : {notXmp, broken}) {
        WriteAll(m_sidecar, content);
        EXPECT_EQ(E_UNEXPECTED, UpdateXmpSidecar(m_sidecar.c_str(), 3, false, 0, false, ChangeTime));
        EXPECT_EQ(content, ReadAll(m_sidecar));
    }
}

TEST_F(XmpSidecarFiles, PercentRatingIsFoundUnderEitherSpellingOfItsNamespace)
{
    // Written by another program: the Microsoft Photo namespace without its final "/".
    WriteAll(m_sidecar, "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
                        "<rdf:Description rdf:about=\"\" xmlns:MicrosoftPhoto=\"http://ns.microsoft.com/photo/1.0\">"
                        "<MicrosoftPhoto:Rating>25</MicrosoftPhoto:Rating></rdf:Description>"
                        "<rdf:Description rdf:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" xmp:Rating=\"2\"/>"
                        "</rdf:RDF></x:xmpmeta>");
    EXPECT_EQ(25, Read(S_OK).ratingPercent);
    ASSERT_EQ(S_OK, UpdateXmpSidecar(m_sidecar.c_str(), 4, false, 0, false, ChangeTime));
    std::string text = ReadAll(m_sidecar);
    const size_t first = text.find("<MicrosoftPhoto:Rating");
    ASSERT_NE(std::string::npos, first) << text;
    EXPECT_EQ(std::string::npos, text.find("<MicrosoftPhoto:Rating", first + 1)) << "no second percent: " << text;
    EXPECT_NE(std::string::npos, text.find(">75</MicrosoftPhoto:Rating>")) << text;
    EXPECT_EQ(std::string::npos, text.find("photo/1.0/")) << "the file's own spelling stays: " << text;
    EXPECT_EQ(75, Read(S_OK).ratingPercent);

    // Cleared from the bare spelling, then set again: a new Description keeps the "/".
    ASSERT_EQ(S_OK, UpdateXmpSidecar(m_sidecar.c_str(), 0, false, 0, false, ChangeTime));
    text = ReadAll(m_sidecar);
    EXPECT_EQ(std::string::npos, text.find("MicrosoftPhoto")) << text;
    ASSERT_EQ(S_OK, UpdateXmpSidecar(m_sidecar.c_str(), 1, false, 0, false, ChangeTime));
    text = ReadAll(m_sidecar);
    EXPECT_NE(std::string::npos, text.find("\"http://ns.microsoft.com/photo/1.0/\"")) << text;
    EXPECT_EQ(1, Read(S_OK).ratingPercent);
}

TEST_F(XmpSidecarFiles, AFailingSaveLeavesTheOldSidecarAsItWas)
{
    WriteAll(m_sidecar, ForeignSidecar);
    {
        // Another program holds the sidecar open and lets nobody replace it.
        UniqueHandle held(CreateFileW(m_sidecar.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_TRUE(FAILED(UpdateXmpSidecar(m_sidecar.c_str(), 4, false, 0, false, ChangeTime)));
    }
    EXPECT_EQ(ForeignSidecar, ReadAll(m_sidecar));
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(m_folder.File(L"*").c_str(), &found);
    int files = 0;
    do {
        files += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    EXPECT_EQ(1, files) << "no temporary file is left";
}
