#include "ui/running_copy.h"

#include "resources/resource.h"

namespace {

// In the session's own namespace: a second user signed in at the same time has a session,
// and so a copy, of their own.
constexpr wchar_t runningCopyMutex[] = L"Local\\TarnwickServerBrowser.Running";
constexpr char runningCopyMessageName[] = "TarnwickServerBrowser.ShowRunningCopy";
// The main window's class, which the running copy registered from its string table.
constexpr char mainWindowClass[] = MAIN_WINDOW_CLASS;

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

// Whether this start now holds the mutex, so that no other copy runs: a copy that held it has
// ended (or died holding it). Without a handle, the mutex is asked for anew each time: made
// again, it is this start's; refused again, the copy that has it still runs.
bool tookMutex(HANDLE& mutex) {
    if (mutex) {
        const DWORD owned = WaitForSingleObject(mutex, 0);
        return owned == WAIT_OBJECT_0 || owned == WAIT_ABANDONED;
    }
    mutex = CreateMutexW(nullptr, TRUE, runningCopyMutex);
    return mutex && GetLastError() != ERROR_ALREADY_EXISTS;
}

}  // namespace

bool becomeOnlyCopy() {
    // Owned by the window thread until the process ends, list threads included: the system
    // releases it then, so it is never closed here.
    HANDLE mutex = CreateMutexW(nullptr, TRUE, runningCopyMutex);
    const DWORD error = GetLastError();
    if (mutex && error != ERROR_ALREADY_EXISTS) return true;
    if (!mutex) {
        // Nothing of that name that this start could be refused: no copy runs.
        if (error != ERROR_ACCESS_DENIED) return true;
        // A copy started with other rights (Run as administrator) made it, and this start may
        // not have it whole: waiting needs SYNCHRONIZE alone. Even that may be refused; the
        // copy runs all the same.
        mutex = OpenMutexW(SYNCHRONIZE, FALSE, runningCopyMutex);
    }

    const UINT message = registerRunningCopyMessage();
    const DWORD start = GetTickCount();
    do {
        if (tookMutex(mutex)) return true;
        if (message && showRunningCopy(message)) return false;
        Sleep(retryPauseMs);
    } while (GetTickCount() - start < waitForRunningCopyMs);
    // A copy holds the mutex but shows no window that answers: it is hung, and a second copy
    // beside it would share its templist.txt.
    return false;
}

UINT registerRunningCopyMessage() { return RegisterWindowMessageA(runningCopyMessageName); }
