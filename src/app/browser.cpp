#include "app/browser.h"

// Winsock's headers must come before <windows.h>.
#include "protocol/query_channel.h"
#include "protocol/receiver.h"

#include <windows.h>

#include "core/install_dir.h"
#include "serverlist/list_jobs.h"

namespace {

HANDLE receiverThread = INVALID_HANDLE_VALUE;

}  // namespace

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
