// The writer on real files with real sidecars; the platform here writes no metadata into pictures
// (E_NOTIMPL), which these tests meet as the failure of every embedded write.
#include "Viewer/engine/MetadataWriter.h"
#include "Framework/ResourceModule.h"
#include "Framework/UniqueHandle.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/engine/ImageEngine.h"
#include "Viewer/imaging/WicFactory.h"
#include "Viewer/imaging/XmpSidecar.h"
#include "tests/engine/FileFixtures.h"
#include "tests/engine/FrameRecorder.h"
#include "tests/imaging/TestPictures.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/ScopedResourceModule.h"
#include "tests/support/TestPaths.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {
class MetadataWriterTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        ASSERT_EQ(S_OK, CreateWicFactory());
        ASSERT_TRUE(m_library.Loaded());
        Settings(0, 0, 0, 0);
        m_frameHandle = m_frame.Handle();
        m_engine = std::make_unique<CImageEngine>(&m_frameHandle, true, false);
        m_engine->PrepareList(L"*.jpg;*.cr2");
        WriteTestPicture(m_folder.File(L"a.jpg"), GUID_ContainerFormatJpeg, {PlainFrame(8, 8, {9, 8, 7, 255})});
        WriteTestPicture(m_folder.File(L"b.jpg"), GUID_ContainerFormatJpeg, {PlainFrame(8, 8, {1, 2, 3, 255})});
        WriteFileBytes(m_folder.File(L"a.cr2"), "not a raw picture");
        for (const wchar_t* name : {L"a.jpg", L"a.cr2", L"b.jpg"})
            ASSERT_TRUE(m_engine->AddFileToList(m_folder.File(name).c_str(), FILETIME{}, false));
        m_entries = m_engine->GetEntries();
        ASSERT_EQ(2u, m_entries.size());
        m_writer = std::make_unique<CMetadataWriter>(&m_frameHandle, *m_engine);
    }
    void TearDown() override
    {
        m_writer.reset();
        m_entries.clear();
        m_engine.reset();
        Settings(0, 0, 0, 0);
        ReleaseWicFactory();
        CoUninitialize();
    }

    static void Settings(DWORD sidecar, DWORD embed, DWORD prefix, DWORD sortByDate)
    {
        AppSettings::CreateSidecarFiles = sidecar;
        AppSettings::EmbedMetadata = embed;
        AppSettings::PrefixFileNamesWithRating = prefix;
        AppSettings::SortByDateTime = sortByDate;
        AppSettings::LabellingConvention = 0;
    }

    CImageEntry* A() const { return m_entries[0].Get(); }
    CImageEntry* B() const { return m_entries[1].Get(); }

    void Rate(CImageEntry* entry, int value)
    {
        ASSERT_EQ(S_OK, m_writer->QueueMetadataWrite(entry, value, false, false));
        m_writer->WaitForEntry(entry);
    }

    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    const ScopedResourceModule m_library{L"Lumenfold.Core.EN.dll"};
    RegistrySandbox m_sandbox;
    TempFolder m_folder;
    FrameRecorder m_frame;
    HWND m_frameHandle = nullptr;
    std::unique_ptr<CImageEngine> m_engine;
    std::vector<EntryRef> m_entries;
    std::unique_ptr<CMetadataWriter> m_writer;
};
}

TEST_F(MetadataWriterTest, WithNowhereToStoreTheValueStaysInMemoryAndTheUserIsTold)
{
    MessageBoxRecorder boxes;
    Rate(A(), 3);
    EXPECT_EQ(3, A()->rating);
    ASSERT_EQ(1u, boxes.calls.size());
    EXPECT_EQ(LoadResourceString(10171), boxes.calls[0].text);
    EXPECT_EQ(LoadResourceString(10172), boxes.calls[0].caption);
    EXPECT_EQ(UINT(MB_ICONINFORMATION), boxes.calls[0].type);
    EXPECT_EQ(E_INVALIDARG, m_writer->QueueMetadataWrite(nullptr, 3, false, false));
}

TEST_F(MetadataWriterTest, RenameThenSidecarThenTheFilesUnderTheNewName)
{
    Settings(1, 1, 1, 1);
    const std::vector<uint8_t> picture = ReadBytes(m_folder.File(L"a.jpg"));
    MessageBoxRecorder boxes;
    Rate(A(), 4);
    EXPECT_EQ(m_folder.File(L"{4}a"), A()->GetBasePath());
    EXPECT_TRUE(Exists(m_folder.File(L"{4}a.cr2")));
    EXPECT_FALSE(Exists(m_folder.File(L"a.jpg")));
    RatingWords words{-7, -7, -7, -7};
    EXPECT_EQ(S_OK, ReadXmpSidecar(m_folder.File(L"{4}a.jpg").c_str(), words));
    EXPECT_EQ(4, words.rating);
    EXPECT_EQ(picture, ReadBytes(m_folder.File(L"{4}a.jpg"))) << "the platform writes nothing here";
    // Both pictures refused (the JPEG with E_NOTIMPL), each named under its new name.
    ASSERT_EQ(2u, boxes.calls.size());
    EXPECT_NE(std::wstring::npos, boxes.calls[0].text.find(m_folder.File(L"{4}a.jpg")));
    EXPECT_NE(std::wstring::npos, boxes.calls[0].text.find(L"0x80004001"));
    EXPECT_EQ(LoadResourceString(10174), boxes.calls[0].caption);
    EXPECT_NE(std::wstring::npos, boxes.calls[1].text.find(m_folder.File(L"{4}a.cr2")));
    EXPECT_EQ(4, A()->rating) << "the sidecar holds it";
    // The watcher's report of the renamed picture is no new file.
    EXPECT_TRUE(m_engine->AddFileToList(m_folder.File(L"{4}a.jpg").c_str(), FILETIME{}, false));
    EXPECT_EQ(2u, m_engine->GetEntryCount());

    // A label never renames.
    ASSERT_EQ(S_OK, m_writer->QueueMetadataWrite(A(), 2, true, false));
    m_writer->WaitForEntry(A());
    EXPECT_EQ(m_folder.File(L"{4}a"), A()->GetBasePath());
}

TEST_F(MetadataWriterTest, WhenEveryStoreFailsTheValueGoesBackToUnset)
{
    Settings(0, 1, 0, 0);
    MessageBoxRecorder boxes;
    Rate(B(), 5);
    EXPECT_EQ(-1, B()->rating);
    EXPECT_EQ(1u, boxes.calls.size());

    // A sidecar that cannot be updated, with embedding off.
    Settings(1, 0, 0, 0);
    WriteFileBytes(m_folder.File(L"b.xmp"), "<not-xmp/>");
    Rate(B(), 2);
    EXPECT_EQ(-1, B()->rating);
    ASSERT_EQ(2u, boxes.calls.size());
    EXPECT_NE(std::wstring::npos, boxes.calls[1].text.find(m_folder.File(L"b.xmp")));
    EXPECT_EQ("<not-xmp/>", ReadFileBytes(m_folder.File(L"b.xmp")));
}

TEST_F(MetadataWriterTest, AFileInUseIsTriedAHundredTimes)
{
    Settings(0, 1, 0, 0);
    int pauses = 0;
    m_writer->SetSharingRetryPause([&pauses] { ++pauses; });
    UniqueHandle held(CreateFileW(m_folder.File(L"b.jpg").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    MessageBoxRecorder boxes;
    Rate(B(), 3);
    EXPECT_EQ(CMetadataWriter::MaxSharingAttempts - 1, pauses);
    ASSERT_EQ(1u, boxes.calls.size());
    EXPECT_NE(std::wstring::npos, boxes.calls[0].text.find(L"0x80070020"));
}

TEST_F(MetadataWriterTest, QueuedRequestsAreCarriedOutAfterAnotherFolderOpensAndAtClosing)
{
    Settings(1, 0, 0, 0);
    ASSERT_EQ(S_OK, m_writer->QueueMetadataWrite(A(), 1, false, false));
    ASSERT_EQ(S_OK, m_writer->QueueMetadataWrite(B(), 3, false, true));
    m_engine->ClearList();
    m_entries.clear();
    m_writer.reset();
    RatingWords a{-7, -7, -7, -7}, b{-7, -7, -7, -7};
    EXPECT_EQ(S_OK, ReadXmpSidecar(m_folder.File(L"a.jpg").c_str(), a));
    EXPECT_EQ(1, a.rating);
    EXPECT_EQ(S_OK, ReadXmpSidecar(m_folder.File(L"b.jpg").c_str(), b));
    EXPECT_EQ(3, b.urgency);
    EXPECT_EQ(0u, m_engine->GetEntryCount());
}
