#include "serverlist/list_jobs.h"

#include "core/view.h"
#include "serverlist/list_reader.h"
#include "serverlist/master_download.h"

namespace {

// The most recently started list thread; touched by the window thread alone.
HANDLE listThread = INVALID_HANDLE_VALUE;

}  // namespace

DWORD WINAPI runListJob(void* source) {
    // Only ever one of the two: the master list's URL (Update) or templist.txt (Refresh).
    if (source == masterListUrl)
        downloadServerList(masterListUrl);
    else
        readServerList(tempListFile);
    return 0;
}

void startListJob(const char* source) {
    // Releases the handle only: a job still running goes on to its own end.
    if (listThread != INVALID_HANDLE_VALUE && listThread != nullptr) CloseHandle(listThread);
    listThread = CreateThread(nullptr, 0, runListJob, const_cast<char*>(source), 0, nullptr);
}

void updateList() {
    setStatusText("Updating List...");
    startListJob(masterListUrl);
}

void refreshList() {
    setStatusText("Refreshing List...");
    startListJob(tempListFile);
}
