#pragma once
// The real viewer started as a separate process under test: its own user name (so that its single-
// instance marker is its own), its own settings root and a log of what it was asked and did, which
// the program's test hooks write.
#include "Framework/UniqueHandle.h"
#include <windows.h>
#include <optional>
#include <string>
#include <vector>

struct ViewerEnvironment {
    std::wstring userName;
    // Key below the real HKEY_CURRENT_USER that the viewer uses as its HKEY_CURRENT_USER.
    std::wstring settingsRoot;
    std::wstring logPath;
    // The update feed's address, when the test serves one.
    std::wstring updateFeed;
};

// The viewer of this build.
std::wstring BuiltViewerProgram();

class ViewerProcess {
public:
    ViewerProcess(const std::wstring& arguments, const ViewerEnvironment& environment,
                  const std::wstring& program = BuiltViewerProgram());
    ViewerProcess(const ViewerProcess&) = delete;
    ViewerProcess& operator=(const ViewerProcess&) = delete;
    // A viewer still running is closed, and ended when it does not close.
    ~ViewerProcess();

    bool Started() const noexcept { return static_cast<bool>(m_process); }
    // The exit code, or nothing when the process is still running after timeoutMs.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;
    // The process's main frame window, waiting up to timeoutMs for it; null when there is none.
    HWND WaitForFrame(DWORD timeoutMs) const;

private:
    UniqueHandle m_process;
    DWORD m_processId = 0;
};

// The lines "<what>\t<text>" that a viewer wrote to its log.
class ViewerLog {
public:
    explicit ViewerLog(std::wstring path) : m_path(std::move(path)) {}
    std::vector<std::wstring> Lines() const;
    // Lines with that event, in order: their texts.
    std::vector<std::wstring> Texts(const std::wstring& what) const;
    // Waits until a line with that event (and text, when given) is there.
    bool WaitFor(const std::wstring& what, const std::optional<std::wstring>& text, DWORD timeoutMs) const;

private:
    std::wstring m_path;
};

// Returns once the thread of a viewer's window has served every message sent to it before this
// call (sent messages are served in the order they arrive); false when it does not answer in time.
bool ServedEarlierMessages(HWND window, DWORD timeoutMs);

// Gives this process's environment the viewer's test settings, for a viewer that the shell or COM
// starts, which inherits them.
void SetInheritedViewerEnvironment(const ViewerEnvironment& environment);

// Closes the frame windows of every viewer on the desktop (the tests that start viewers run one at
// a time) and waits until their processes have ended.
void CloseEveryViewer();

// A name no other test uses, for the user name of a test's viewers.
std::wstring UniqueUserName();
