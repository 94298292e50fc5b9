// Real key presses and the wheel step through a folder in the real viewer: next and previous, ten
// forward and back, and around the list's ends with a beep; the caption names each picture.
#include "tests/imaging/TestPictures.h"
#include "tests/process/ViewerFixture.h"
#include "tests/support/ScopedComApartment.h"
#include <gmock/gmock.h>
#include <initializer_list>
#include <vector>

namespace {
constexpr DWORD kShowTimeoutMs = 30000;
constexpr int kPictureCount = 12;

INPUT KeyInput(WORD key, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    return input;
}

// Keys pressed together and let go in reverse, as the keyboard sends them to the window in front:
// the accelerators read the modifiers' state, which posted messages do not set.
void Press(HWND frame, std::initializer_list<WORD> keys)
{
    SetForegroundWindow(frame);
    std::vector<INPUT> inputs;
    for (WORD key : keys) inputs.push_back(KeyInput(key, 0));
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) inputs.push_back(KeyInput(*key, KEYEVENTF_KEYUP));
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// One notch of the wheel over the window.
void Wheel(HWND window, int notches)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    SetForegroundWindow(GetAncestor(window, GA_ROOT));
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    input.mi.mouseData = static_cast<DWORD>(notches * WHEEL_DELTA);
    SendInput(1, &input, sizeof(INPUT));
}

class NavigationProcess : public ViewerFixture {
protected:
    void SetUp() override
    {
        const ScopedComApartment apartment;
        for (int n = 1; n <= kPictureCount; ++n)
            WriteTestPicture(m_pictures.File(Name(n) + L".png"), GUID_ContainerFormatPng,
                             {PlainFrame(64, 48, Rgba{BYTE(n * 20), 90, 160, 255})});
    }
    static std::wstring Name(int n) { return (n < 10 ? L"p0" : L"p") + std::to_wstring(n); }

    // Waits until the picture last shown is picture n and the caption names it.
    bool Shows(HWND frame, int n) const
    {
        const std::wstring basePath = m_pictures.File(Name(n));
        const ULONGLONG end = GetTickCount64() + kShowTimeoutMs;
        do {
            const std::vector<std::wstring> shown = Log().Texts(L"shown");
            wchar_t caption[512]{};
            GetWindowTextW(frame, caption, 512);
            if (!shown.empty() && shown.back() == basePath && wcsstr(caption, (Name(n) + L".png").c_str())) return true;
            Sleep(50);
        } while (GetTickCount64() < end);
        return false;
    }
    size_t Beeps() const { return Log().Texts(L"beep").size(); }

    TempFolder m_pictures;
};
}  // namespace

TEST_F(NavigationProcess, KeysAndTheWheelStepJumpTenAndWrapAroundTheEndsWithABeep)
{
    StoreEarlierRun(false);
    ViewerProcess viewer(Quoted(m_pictures.Path()), Environment());
    const HWND frame = viewer.WaitForFrame(kStartTimeoutMs);
    ASSERT_NE(nullptr, frame);
    ASSERT_TRUE(Shows(frame, 1));

    Press(frame, {VK_NEXT});
    EXPECT_TRUE(Shows(frame, 2));
    Press(frame, {VK_PRIOR});
    EXPECT_TRUE(Shows(frame, 1));
    EXPECT_EQ(0u, Beeps());

    Press(frame, {VK_PRIOR});
    EXPECT_TRUE(Shows(frame, kPictureCount)) << "previous at the first picture wraps to the last";
    EXPECT_EQ(1u, Beeps());
    Press(frame, {VK_NEXT});
    EXPECT_TRUE(Shows(frame, 1)) << "next at the last picture wraps to the first";
    EXPECT_EQ(2u, Beeps());

    Press(frame, {VK_CONTROL, VK_SHIFT, VK_NEXT});
    EXPECT_TRUE(Shows(frame, 11));
    Press(frame, {VK_CONTROL, VK_SHIFT, VK_PRIOR});
    EXPECT_TRUE(Shows(frame, 1));

    const HWND view = FindViewWindow(frame);
    ASSERT_NE(nullptr, view);
    Wheel(view, -1);
    EXPECT_TRUE(Shows(frame, 2)) << "the wheel turned towards the user steps forward";
    Wheel(view, 1);
    EXPECT_TRUE(Shows(frame, 1));
    EXPECT_EQ(2u, Beeps());
}
