// How long a user holding the "next" key waits for each picture: the real viewer on a generated
// folder of camera JPEGs gets Page Down at 30 and 60 presses per second for 10 seconds, on the GDI+
// and the Direct3D road; for each press, the time from the key to its picture shown in the view
// (the viewer's test log names each picture it has shown), the median and 99th percentile, and the
// presses whose picture was not shown before the next press (late) or never (skipped, because a
// later press overtook it); the pictures shown per second while the key was held, and how long the
// viewer went on showing pictures after the key was let go. Each with the decode wait abortable by
// the next key ("EnableAbortableImageLoading") off, as by default, and on. Beside it, in the same
// run, the time the platform's plain decoder takes for one such picture on one thread.
// Usage: bench_keyrepeat [pictures [width height]] (default 200 pictures of 6000 x 4000).
#include "Framework/RegKey.h"
#include "Viewer/core/AppSettings.h"
#include "Viewer/imaging/WicFactory.h"
#include "bench/support/CameraPictures.h"
#include "tests/process/ViewerProcess.h"
#include "tests/support/TestPaths.h"
#include <windows.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;
constexpr double PressSeconds = 10.0;
constexpr DWORD StartTimeoutMs = 120000;
// Time for the prefetch window to fill after the first picture, as when a user looks at it first.
constexpr DWORD SettleMs = 5000;
// Time after the last press for its picture to arrive.
constexpr DWORD DrainMs = 15000;

double Milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

// Median of three one-thread plain decodes of different pictures.
double PlainDecodeMs(const std::vector<std::wstring>& paths)
{
    std::vector<double> times;
    for (size_t i = 0; i < 3 && i < paths.size(); ++i) {
        const auto start = Clock::now();
        if (!DecodeWithPlatform(paths[i], false)) return 0;
        times.push_back(Milliseconds(Clock::now() - start));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Watches the viewer's log on a thread of its own and stamps each "shown" line when it appears.
class ShownWatch {
public:
    explicit ShownWatch(const std::wstring& logPath) : m_log(logPath), m_thread([this] { Watch(); }) {}
    ~ShownWatch()
    {
        m_stop = true;
        m_thread.join();
    }
    struct Shown {
        std::wstring basePath;
        Clock::time_point at;
    };
    std::vector<Shown> Taken()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_shown;
    }

private:
    void Watch()
    {
        while (!m_stop) {
            const std::vector<std::wstring> texts = m_log.Texts(L"shown");
            const auto now = Clock::now();
            {
                const std::lock_guard<std::mutex> lock(m_mutex);
                for (size_t i = m_shown.size(); i < texts.size(); ++i) m_shown.push_back({texts[i], now});
            }
            Sleep(1);
        }
    }

    ViewerLog m_log;
    std::mutex m_mutex;
    std::vector<Shown> m_shown;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

struct Result {
    size_t presses = 0, shown = 0, late = 0, skipped = 0;
    double medianMs = 0, p99Ms = 0;
    double shownPerSecond = 0, afterReleaseMs = 0;
    bool started = true;
};

std::wstring BasePath(const std::wstring& path)
{
    return path.substr(0, path.rfind(L'.'));
}

// The viewer's settings of an earlier run: the road, the abortable wait, a list that wraps around,
// no beeps.
void StoreSettings(const std::wstring& settingsRoot, bool direct3D, bool abortable)
{
    RegKey key;
    key.Create(HKEY_CURRENT_USER, (settingsRoot + L"\\" + AppSettings::KeyPath).c_str(), KEY_ALL_ACCESS);
    key.SetDword(L"DisableHWA", direct3D ? 0 : 1);
    for (const wchar_t* name : {L"EnableRating", L"EnableLabelling", L"EnableUrgency", L"WrapImageList",
                                L"EnableFileNameInCaption", L"EnableExifAutoRotate", L"AutoHideMouseCursor"})
        key.SetDword(name, 1);
    key.SetDword(L"EnableMessageBeep", 0);
    key.SetDword(L"AutoHideTaskbar", 0);
    key.SetDword(L"EnableAbortableImageLoading", abortable ? 1 : 0);
}

Result Hold(const std::wstring& folder, const std::vector<std::wstring>& paths, bool direct3D, bool abortable,
            double rate)
{
    const std::wstring unique = UniqueName();
    const std::wstring settingsRoot = L"Software\\LumenfoldBench\\" + unique;
    StoreSettings(settingsRoot, direct3D, abortable);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring logPath = std::wstring(temp) + L"lumenfold-keyrepeat-" + unique + L".log";
    Result result;
    {
        ViewerProcess viewer(L"\"" + folder + L"\"", {UniqueUserName(), settingsRoot, logPath});
        const HWND frame = viewer.WaitForFrame(StartTimeoutMs);
        ShownWatch watch(logPath);
        const ViewerLog log(logPath);
        if (!frame || !log.WaitFor(L"shown", BasePath(paths[0]), StartTimeoutMs)) {
            result.started = false;
        } else {
            Sleep(SettleMs);
            const size_t count = size_t(rate * PressSeconds);
            std::vector<Clock::time_point> pressed;
            const auto start = Clock::now();
            for (size_t i = 0; i < count; ++i) {
                std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(
                                                          std::chrono::duration<double>(i / rate)));
                pressed.push_back(Clock::now());
                // A held key: every press after the first says the key was down before.
                PostMessageW(frame, WM_KEYDOWN, VK_NEXT, i == 0 ? 1 : 0x40000001);
            }
            PostMessageW(frame, WM_KEYUP, VK_NEXT, 0xC0000001);
            Sleep(DrainMs);

            const std::vector<ShownWatch::Shown> shown = watch.Taken();
            const auto released = pressed.back();
            size_t shownHeld = 0;
            auto lastShown = pressed.front();
            for (const ShownWatch::Shown& s : shown) {
                if (s.at < pressed.front()) continue;
                if (s.at <= released) ++shownHeld;
                lastShown = std::max(lastShown, s.at);
            }
            result.shownPerSecond = shownHeld / std::max(Milliseconds(released - pressed.front()) / 1000, 0.001);
            result.afterReleaseMs = std::max(0.0, Milliseconds(lastShown - released));
            std::vector<double> waits;
            for (size_t i = 0; i < count; ++i) {
                const std::wstring wanted = BasePath(paths[(i + 1) % paths.size()]);
                // The press's picture, shown after it and before a later press wanted it again.
                const size_t again = i + paths.size();
                const auto until = again < count ? pressed[again] : Clock::time_point::max();
                const auto found = std::find_if(shown.begin(), shown.end(), [&](const ShownWatch::Shown& s) {
                    return s.basePath == wanted && s.at >= pressed[i] && s.at < until;
                });
                if (found == shown.end()) {
                    ++result.skipped;
                    continue;
                }
                const double ms = Milliseconds(found->at - pressed[i]);
                waits.push_back(ms);
                if (ms > 1000.0 / rate) ++result.late;
            }
            result.presses = count;
            result.shown = waits.size();
            std::sort(waits.begin(), waits.end());
            if (!waits.empty()) {
                result.medianMs = waits[waits.size() / 2];
                result.p99Ms = waits[std::min(waits.size() - 1, waits.size() * 99 / 100)];
            }
        }
    }
    DeleteFileW(logPath.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, settingsRoot.c_str());
    return result;
}
}

int wmain(int argc, wchar_t** argv)
{
    const CameraSetup setup = CameraSetupFromArguments(argc, argv);
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    std::wstring folder;
    const std::vector<std::wstring> paths = CameraFolder(setup, folder);
    if (paths.empty()) return 1;
    const double plainMs = PlainDecodeMs(paths);
    ReleaseWicFactory();

    std::wprintf(L"keyrepeat: %d JPEGs of %ux%u, Page Down held for %.0f s; plain decoder, one picture on one "
                 L"thread: %.0f ms\n",
                 setup.pictures, setup.width, setup.height, PressSeconds, plainMs);
    std::wprintf(L"%-9ls %9ls %9ls %8ls %8ls %10ls %10ls %8ls %8ls %8ls %14ls\n", L"road", L"abortable", L"presses/s",
                 L"presses", L"shown", L"median ms", L"p99 ms", L"late", L"skipped", L"shown/s", L"after release ms");
    for (bool direct3D : {false, true})
        for (bool abortable : {false, true})
            for (double rate : {30.0, 60.0}) {
                const Result r = Hold(folder, paths, direct3D, abortable, rate);
                const wchar_t* road = direct3D ? L"Direct3D" : L"GDI+";
                const wchar_t* wait = abortable ? L"on" : L"off";
                if (!r.started) {
                    std::wprintf(L"%-9ls %9ls %9.0f   the viewer did not show the first picture\n", road, wait, rate);
                    continue;
                }
                std::wprintf(L"%-9ls %9ls %9.0f %8zu %8zu %10.1f %10.1f %8zu %8zu %8.2f %14.0f\n", road, wait, rate,
                             r.presses, r.shown, r.medianMs, r.p99Ms, r.late, r.skipped, r.shownPerSecond,
                             r.afterReleaseMs);
            }
    CoUninitialize();
    return 0;
}
