#include "ui/running_copy.h"

namespace {

// In the session's own namespace: a second user signed in at the same time has a session,
// and so a copy, of their own.
constexpr char runningCopyMutex[] = "Local\\TarnwickServerBrowser.Running";
constexpr char runningCopyMessageName[] = "TarnwickServerBrowser.ShowRunningCopy";
// The main window's class, which the running copy registered from its string table.
constexpr char mainWindowClass[] = "SERVERBROWSER";

// A copy that is just starting holds the mutex a moment before its window answers; one that
// is just closing has no window any more until its process ends and the mutex is free.
constexpr DWORD waitForRunningCopyMs = 10000;
constexpr DWORD retryPauseMs = 50;
constexpr UINT answerTimeoutMs = 2000;

// Asks each main window of this desktop to show itself; true once one answered as only the
// running copy does. The window's process may take the foreground: the start the user just
// made has that right and hands it on, or Windows would only flash the taskbar button.
bool showRunningCopy(UINT message) {
    for (HWND window = FindWindowExA(nullptr, nullptr, mainWindowClass, nullptr); window;
         window = FindWindowExA(nullptr, window, mainWindowClass, nullptr)) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        AllowSetForegroundWindow(processId);
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutA(window, message, 0, 0, SMTO_ABORTIFHUNG, answerTimeoutMs, &answer) &&
            static_cast<LRESULT>(answer) == runningCopyAnswer)
            return true;
    }
    return false;
}

}  // namespace

bool becomeOnlyCopy() {
    // Owned by the window thread until the process ends, list threads included: the system
    // releases it then, so it is never closed here.
    const HANDLE mutex = CreateMutexA(nullptr, TRUE, runningCopyMutex);
    // Without the mutex (refused to another user's start in this session, say) nothing tells
    // of a running copy: run.
    if (!mutex || GetLastError() != ERROR_ALREADY_EXISTS) return true;

    const UINT message = registerRunningCopyMessage();
    const DWORD start = GetTickCount();
    do {
        // Free (or left by a copy that ended without releasing it): this start is the only one.
        const DWORD owned = WaitForSingleObject(mutex, 0);
        if (owned == WAIT_OBJECT_0 || owned == WAIT_ABANDONED) return true;
        if (message && showRunningCopy(message)) return false;
        Sleep(retryPauseMs);
    } while (GetTickCount() - start < waitForRunningCopyMs);
    // A copy holds the mutex but shows no window that answers: it is hung, and a second copy
    // beside it would share its templist.txt.
    return false;
}

UINT registerRunningCopyMessage() { return RegisterWindowMessageA(runningCopyMessageName); }
