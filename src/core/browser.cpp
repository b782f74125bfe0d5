#include "core/browser.h"

// Winsock's headers must come before <windows.h>.
#include "protocol/query_channel.h"
#include "protocol/receiver.h"

#include <windows.h>

#include <cstring>

#include "launch/launch_text.h"
#include "serverlist/list_jobs.h"

namespace {

char installDir[installDirectorySize] = "";
HANDLE receiverThread = INVALID_HANDLE_VALUE;

constexpr char gameKey[] = "Software\\Kestrel Forge\\Tarnwick";
constexpr char installDirValue[] = "INSTDIR";
constexpr char defaultInstallDir[] = "c:\\games\\tarnwick";

// The game's installer is a 32-bit program, so its keys live in the 32-bit registry view.
// Read access is all the browser needs; a key that cannot be read counts as missing.
HKEY openGameKey(HKEY root) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, gameKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

// A value that cannot be read whole into 256 bytes leaves the directory empty (see
// installDirOfValue for the rest).
void readInstallDir(HKEY key) {
    char value[installDirectorySize];
    DWORD size = sizeof value;
    if (RegQueryValueExA(key, installDirValue, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) !=
        ERROR_SUCCESS)
        return;
    const std::string directory = installDirOfValue(value, size);
    std::memcpy(installDir, directory.c_str(), directory.size() + 1);
}

}  // namespace

void findInstallDir() {
    installDir[0] = '\0';
    HKEY key = openGameKey(HKEY_CURRENT_USER);
    if (key == nullptr) key = openGameKey(HKEY_LOCAL_MACHINE);
    if (key == nullptr) {
        MessageBoxA(nullptr, "Tarnwick installation directory not found.", "Tarnwick Server Browser Error", MB_OK);
        std::strcpy(installDir, defaultInstallDir);
        return;
    }
    readInstallDir(key);
    RegCloseKey(key);
}

const char* installDirectory() { return installDir; }

void startBrowser() {
    findInstallDir();
    openQueryChannel();
    receiverThread = CreateThread(nullptr, 0, runReceiver, nullptr, 0, nullptr);
    updateList();
}

void stopBrowser() {
    // Releases the handle only; the receiver thread ends with the process.
    if (receiverThread != INVALID_HANDLE_VALUE && receiverThread != nullptr) CloseHandle(receiverThread);
    receiverThread = INVALID_HANDLE_VALUE;
    closeQueryChannel();
}
