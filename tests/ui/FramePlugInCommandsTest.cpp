#include "tests/ui/FrameTest.h"
#include "Framework/ComErrorInfo.h"
#include "Framework/ComObject.h"
#include "Framework/ComPtr.h"
#include "Framework/ModalSeam.h"
#include "Viewer/core/LanguageLibrary.h"
#include "Viewer/engine/ImageEntry.h"
#include "tests/imaging/TestPictures.h"
#include <atomic>
#include <functional>

namespace {
// A plug-in that records its Process call and answers with a chosen result and behaviour.
class FakePlugIn : public IImageStackActionPlugIn {
public:
    FakePlugIn(HRESULT result, int behaviour, const wchar_t* failure)
        : m_result(result), m_behaviour(behaviour), m_failure(failure)
    {
    }
    void* FindInterface(REFIID iid) noexcept
    {
        return iid == __uuidof(IImageStackActionPlugIn) || iid == IID_IDispatch ? static_cast<IImageStackActionPlugIn*>(this)
                                                                              : nullptr;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Initialize(IUnknown*, unsigned short, IUnknown*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Terminate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetCapabilities(LMFISAPCAPABILITIES*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPreferredHotkey(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDisplayName(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDescription(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAuthorInformation(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVersionInformation(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Configure(HWND, IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Process(HWND parent, BSTR path, BSTR extensions, int key,
                                      LMFISAPPOSTACTIONBEHAVIOR* behaviour) override
    {
        parentSeen = parent;
        pathSeen = path ? path : L"<null>";
        extensionsSeen = extensions ? extensions : L"<null>";
        keySeen = key;
        if (m_behaviour >= 0) *behaviour = static_cast<LMFISAPPOSTACTIONBEHAVIOR>(m_behaviour);
        if (m_failure) SetErrorDescription(m_failure, L"Fake");
        if (during) during();
        calls.fetch_add(1);
        return m_result;
    }
    HRESULT STDMETHODCALLTYPE Cancel(LONG) override { return S_OK; }

    HWND parentSeen = nullptr;
    std::wstring pathSeen, extensionsSeen;
    int keySeen = -1;
    // Runs inside Process, on the action's thread.
    std::function<void()> during;
    std::atomic<int> calls{0};

private:
    HRESULT m_result;
    int m_behaviour;  // -1: never written
    const wchar_t* m_failure;
};

ComPtr<IImageStackActionPlugIn> MakePlugIn(HRESULT result, int behaviour, const wchar_t* failure = nullptr)
{
    ComPtr<IImageStackActionPlugIn> plugIn;
    EXPECT_EQ(S_OK, ComObject<FakePlugIn>::Create(nullptr, __uuidof(IImageStackActionPlugIn), plugIn.AsVoid(), result,
                                                  behaviour, failure));
    return plugIn;
}

FakePlugIn& Fake(const ComPtr<IImageStackActionPlugIn>& plugIn)
{
    return *static_cast<FakePlugIn*>(plugIn.Get());
}

// A real window to receive what the action posts.
struct PostTarget {
    PostTarget() : window(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
    ~PostTarget() { DestroyWindow(window); }
    bool Took(UINT message, WPARAM* wParam = nullptr)
    {
        MSG posted{};
        if (!PeekMessageW(&posted, window, message, message, PM_REMOVE)) return false;
        if (wParam) *wParam = posted.wParam;
        return true;
    }
    HWND window;
};

TEST(PlugInActionTest, ARefreshReleasesThePictureAndAsksTheFrameToShowTheEntryAgain)
{
    const ScopedComApartment apartment(COINIT_MULTITHREADED);
    EntryRef entry = MakeEntry(nullptr, std::wstring(L"C:\\shoot\\a"), nullptr, 0, 1, L"jpg", false);
    ASSERT_TRUE(entry->AddCompanionExtension(L"cr2"));
    const struct {
        int behaviour;
        bool refresh;
    } cases[] = {{0, false}, {1, true}, {2, true}, {3, false}, {-1, false}};
    for (const auto& c : cases) {
        PostTarget frame;
        ComPtr<IImageStackActionPlugIn> plugIn = MakePlugIn(S_OK, c.behaviour);
        EXPECT_EQ(S_OK, RunPlugInAction(frame.window, *plugIn.Get(), *entry.Get()));
        EXPECT_EQ(frame.window, Fake(plugIn).parentSeen);
        EXPECT_EQ(L"C:\\shoot\\a", Fake(plugIn).pathSeen);
        EXPECT_EQ(L"jpg;cr2", Fake(plugIn).extensionsSeen);
        EXPECT_EQ(0, Fake(plugIn).keySeen);
        EXPECT_TRUE(frame.Took(WM_APP_SHOW_CURSOR)) << "the cursor comes back before the plug-in shows anything";
        WPARAM shown = 0;
        EXPECT_EQ(c.refresh, frame.Took(WM_APP_GO_TO_ENTRY, &shown)) << "behaviour " << c.behaviour;
        if (c.refresh) {
            EXPECT_EQ(reinterpret_cast<WPARAM>(entry.Get()), shown);
        }
    }
}

TEST(PlugInActionTest, AFailureShowsThePlugInsOwnWordsOrTheGeneralText)
{
    const ScopedComApartment apartment(COINIT_MULTITHREADED);
    const ScopedResourceModule library{L"Lumenfold.Core.EN.dll"};
    std::vector<std::wstring> texts;
    ScopedModalSeam seam{ModalSeam{.messageBox = [&](HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
        texts.emplace_back(text);
        EXPECT_STREQ(L"", caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), type);
        return IDOK;
    }}};
    EntryRef entry = MakeEntry(nullptr, std::wstring(L"C:\\shoot\\a"), nullptr, 0, 1, L"jpg", false);
    PostTarget frame;
    EXPECT_EQ(E_ACCESSDENIED,
              RunPlugInAction(frame.window, *MakePlugIn(E_ACCESSDENIED, 2, L"The desktop is locked.").Get(), *entry.Get()));
    SetErrorInfo(0, nullptr);
    EXPECT_EQ(E_FAIL, RunPlugInAction(frame.window, *MakePlugIn(E_FAIL, 2).Get(), *entry.Get()));
    EXPECT_EQ((std::vector<std::wstring>{L"The desktop is locked.", LoadUiString(10165)}), texts);
    EXPECT_FALSE(frame.Took(WM_APP_GO_TO_ENTRY)) << "a failed action refreshes nothing";
}

using FramePlugInCommandsTest = FrameTest;

TEST_F(FramePlugInCommandsTest, AHotKeyRunsItsPlugInOnTheCurrentPictureOnAThreadOfItsOwn)
{
    std::vector<UINT> beeps;
    ScopedModalSeam seam{ModalSeam{.messageBeep = [&](UINT type) {
        beeps.push_back(type);
        return TRUE;
    }}};
    ComPtr<IImageStackActionPlugIn> plugIn = MakePlugIn(S_OK, 0);
    g_ActionPlugIns.resize(1);
    g_ActionPlugIns[0].PlugIn = plugIn;

    SendMessageW(m_frame.m_hWnd, WM_COMMAND, kFirstPlugInCommand, 0);
    EXPECT_EQ(std::vector<UINT>{MB_ICONEXCLAMATION}, beeps) << "no picture: a beep, nothing runs";

    ShowFileOfFolder(L"a.jpg", {L"a.jpg"});
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, kFirstPlugInCommand + 5, 0);
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, kFirstPlugInCommand, 0);
    for (int i = 0; i < 200 && Fake(plugIn).calls.load() == 0; ++i) Sleep(10);
    EXPECT_EQ(1, Fake(plugIn).calls.load()) << "index 5 is beyond the list";
    EXPECT_EQ(m_folder.File(L"a"), Fake(plugIn).pathSeen);
    EXPECT_EQ(1u, beeps.size());
    g_ActionPlugIns.clear();
}

// Runs the first plug-in by its command and waits until its Process has returned.
class PlugInRunTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        g_ActionPlugIns.resize(1);
    }
    void TearDown() override
    {
        FrameTest::TearDown();
        g_ActionPlugIns.clear();
    }
    FakePlugIn& Install(HRESULT result, int behaviour)
    {
        g_ActionPlugIns[0].PlugIn = MakePlugIn(result, behaviour);
        return Fake(g_ActionPlugIns[0].PlugIn);
    }
    void RunAndWait(FakePlugIn& plugIn)
    {
        const int before = plugIn.calls.load();
        SendMessageW(m_frame.m_hWnd, WM_COMMAND, kFirstPlugInCommand, 0);
        for (int i = 0; i < 500 && plugIn.calls.load() == before; ++i) PumpFor(10);
        ASSERT_EQ(before + 1, plugIn.calls.load());
    }
};

// The entry holds "xmp" once the program has written the picture's sidecar.
TEST_F(PlugInRunTest, ProcessGetsThePathAndTheExtensionsOwnFirstWithTheSidecar)
{
    ShowFileOfFolder(L"a.jpg", {L"a.jpg"});
    ASSERT_TRUE(m_frame.Engine().GetCurrentEntry(true)->AddCompanionExtension(L"xmp"));
    FakePlugIn& plugIn = Install(S_OK, 0);
    RunAndWait(plugIn);
    EXPECT_EQ(m_folder.File(L"a"), plugIn.pathSeen);
    EXPECT_EQ(L"jpg;xmp", plugIn.extensionsSeen);
}

// The plug-in changes the picture on disk; with a refresh the frame shows the file as it is now.
TEST_F(PlugInRunTest, ARefreshShowsThePictureDecodedAgain)
{
    const std::wstring path = m_folder.File(L"a.jpg");
    for (const int behaviour : {1, 2}) {
        WriteTestPicture(path, GUID_ContainerFormatJpeg, {PlainFrame(64, 48, Rgba{10, 20, 30, 255})});
        ASSERT_TRUE(m_frame.OpenRequests().OpenPath(m_folder.Path().c_str(), nullptr));
        CImageEntry* shown = nullptr;
        for (int i = 0; i < 500 && !(shown && shown->HasImage()); ++i) {
            PumpFor(10);
            shown = m_frame.Engine().GetCurrentEntry(true);
        }
        ASSERT_NE(nullptr, shown);
        ASSERT_EQ(64u, shown->GetWidth());

        FakePlugIn& plugIn = Install(S_OK, behaviour);
        plugIn.during = [&] { WriteTestPicture(path, GUID_ContainerFormatJpeg, {PlainFrame(40, 80, Rgba{200, 0, 0, 255})}); };
        RunAndWait(plugIn);
        for (int i = 0; i < 500 && !(shown->HasImage() && shown->GetWidth() == 40); ++i) PumpFor(10);
        EXPECT_TRUE(shown->HasImage()) << "behaviour " << behaviour;
        EXPECT_EQ(40u, shown->GetWidth()) << "behaviour " << behaviour;
        EXPECT_EQ(shown, m_frame.Engine().GetCurrentEntry(true));
    }
}

// While Process runs, the list is flushed or another folder opened: the action still ends with its
// refresh, and nothing uses a freed entry.
TEST_F(PlugInRunTest, AFlushOrAFolderChangeDuringProcessIsNoHarm)
{
    const std::function<void(CMainFrame&, const TempFolder&)> interruptions[] = {
        [](CMainFrame& frame, const TempFolder&) { frame.Engine().FlushCache(true); },
        [](CMainFrame& frame, const TempFolder& other) { frame.OpenRequests().OpenPath(other.Path().c_str(), nullptr); },
    };
    for (const auto& interrupt : interruptions) {
        ShowFileOfFolder(L"a.jpg", {L"a.jpg"});
        FakePlugIn& plugIn = Install(S_OK, 2);
        const UniqueHandle entered(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        const UniqueHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        plugIn.during = [&] {
            SetEvent(entered.Get());
            WaitForSingleObject(release.Get(), INFINITE);
        };
        SendMessageW(m_frame.m_hWnd, WM_COMMAND, kFirstPlugInCommand, 0);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(entered.Get(), 10000));
        TempFolder other;
        interrupt(m_frame, other);
        SetEvent(release.Get());
        for (int i = 0; i < 500 && plugIn.calls.load() == 0; ++i) PumpFor(10);
        PumpFor(100);
        EXPECT_EQ(1, plugIn.calls.load());
    }
}

// Closing the frame while Process runs waits for it (the plug-in's box stays answerable) before the
// window and the list go.
TEST_F(PlugInRunTest, ClosingDuringProcessWaitsForItFirst)
{
    ShowFileOfFolder(L"a.jpg", {L"a.jpg"});
    FakePlugIn& plugIn = Install(S_OK, 1);
    const UniqueHandle entered(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HWND frame = m_frame.m_hWnd;
    std::atomic<bool> windowWhileRunning{false};
    plugIn.during = [&] {
        SetEvent(entered.Get());
        // The frame's thread is in its close now; what the plug-in sends to the window is served.
        Sleep(200);
        windowWhileRunning = IsWindow(frame) && SendMessageW(frame, WM_NULL, 0, 0) == 0;
    };
    SendMessageW(m_frame.m_hWnd, WM_COMMAND, kFirstPlugInCommand, 0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(entered.Get(), 10000));
    m_frame.DestroyWindow();
    EXPECT_EQ(1, plugIn.calls.load()) << "Process ended before the window went";
    EXPECT_TRUE(windowWhileRunning.load());
}
}

