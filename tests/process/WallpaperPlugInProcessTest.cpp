// The delivered action plug-in in the real viewer: registered machine-wide as its installer does, it
// is loaded at start, and its hot key on the shown picture, answered Yes, makes the picture the
// desktop's wallpaper. Registers classes in the prefix and sets the wallpaper: these tests hold the
// locks of both besides the viewers' own.
#include "Framework/ComPtr.h"
#include "Framework/UniqueModule.h"
#include "tests/imaging/TestPictures.h"
#include "tests/process/ViewerFixture.h"
#include "tests/process/ViewerUserProfile.h"
#include "tests/support/ScopedComApartment.h"
#include <wincodec.h>

namespace {
constexpr DWORD kActionTimeoutMs = 60000;

class WallpaperPlugInProcess : public ViewerFixture {
protected:
    WallpaperPlugInProcess()
        : m_plugIn(LoadLibraryW((TestProgramFolder() + L"\\Lumenfold.PlugIn.SetAsWallpaper.dll").c_str()))
    {
        SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, m_wallpaper, 0);
    }
    ~WallpaperPlugInProcess() override
    {
        if (m_plugIn) Export("DllUnregisterServer")();
        SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, m_wallpaper, SPIF_UPDATEINIFILE);
    }
    HRESULT Register() const { return m_plugIn ? Export("DllRegisterServer")() : E_FAIL; }

private:
    using ServerFunction = HRESULT(STDAPICALLTYPE*)();
    ServerFunction Export(const char* name) const
    {
        return reinterpret_cast<ServerFunction>(reinterpret_cast<void*>(GetProcAddress(m_plugIn.get(), name)));
    }

    UniqueModule m_plugIn;
    wchar_t m_wallpaper[MAX_PATH] = L"";
};

// Ctrl and the key, pressed and let go, as the keyboard sends them to the active window.
void PressControlAnd(WORD key)
{
    INPUT inputs[4]{};
    for (INPUT& input : inputs) input.type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = VK_CONTROL;
    inputs[1].ki.wVk = key;
    inputs[2].ki.wVk = key;
    inputs[2].ki.dwFlags = KEYEVENTF_KEYUP;
    inputs[3].ki.wVk = VK_CONTROL;
    inputs[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, inputs, sizeof(INPUT));
}

// A message box (a dialog with a Yes button: the tool windows are dialogs the frame owns too) owned by
// the window, waiting up to timeoutMs for it.
HWND WaitForBoxOwnedBy(HWND owner, DWORD timeoutMs)
{
    struct Search {
        HWND owner;
        HWND box;
    } search{owner, nullptr};
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    do {
        EnumWindows(
            [](HWND window, LPARAM parameter) {
                auto& found = *reinterpret_cast<Search*>(parameter);
                wchar_t className[16]{};
                GetClassNameW(window, className, 16);
                if (wcscmp(className, L"#32770") != 0 || GetWindow(window, GW_OWNER) != found.owner ||
                    !GetDlgItem(window, IDYES))
                    return TRUE;
                found.box = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (search.box) return search.box;
        Sleep(100);
    } while (GetTickCount64() < end);
    return nullptr;
}

SIZE PictureSize(const std::wstring& path)
{
    const ScopedComApartment apartment(COINIT_MULTITHREADED);
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    UINT width = 0, height = 0;
    if (FAILED(factory.CoCreate(CLSID_WICImagingFactory)) ||
        FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&width, &height)))
        return {};
    return {LONG(width), LONG(height)};
}
}  // namespace

TEST_F(WallpaperPlugInProcess, ControlWAndYesOnItsBoxMakeTheShownPictureAScreenSizedWallpaper)
{
    ASSERT_EQ(S_OK, Register());
    TempFolder pictures;
    {
        const ScopedComApartment apartment;
        WriteTestPicture(pictures.File(L"a.jpg"), GUID_ContainerFormatJpeg, {PlainFrame(2400, 1000, {40, 120, 200, 255})});
    }
    // The plug-in saves into its user's local application-data folder: the viewer's user's, which
    // the test makes, new, so the file there afterwards is this action's. (This process keeps the
    // desktop values it read once, so the viewer's change is read back from the file.)
    const ViewerUserProfile profile(Environment().userName);
    ASSERT_FALSE(profile.LocalApplicationData().empty());
    const std::wstring wallpaper = profile.LocalApplicationData() + L"\\Lumenfold.Wallpaper.jpg";

    ViewerProcess viewer(L"-i \"" + pictures.Path() + L"\"", Environment());
    const HWND frame = viewer.WaitForFrame(kStartTimeoutMs);
    ASSERT_TRUE(frame);
    ASSERT_TRUE(Log().WaitFor(L"plug-ins", L"1", kStartTimeoutMs)) << "the plug-in is loaded and its hot key added";
    ASSERT_TRUE(Log().WaitFor(L"name", std::nullopt, kStartTimeoutMs)) << "a picture is shown";

    SetForegroundWindow(frame);
    PressControlAnd('W');
    const HWND box = WaitForBoxOwnedBy(frame, kActionTimeoutMs);
    ASSERT_TRUE(box) << "the plug-in asks before it changes the desktop";
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDYES)));

    SIZE size{};
    for (const ULONGLONG end = GetTickCount64() + kActionTimeoutMs; GetTickCount64() < end && size.cx == 0; Sleep(200))
        size = PictureSize(wallpaper);
    std::wstring log;
    for (const std::wstring& line : Log().Lines()) log += line + L"\n";
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), size.cx) << wallpaper << L"\n" << log;
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), size.cy) << wallpaper;
}
