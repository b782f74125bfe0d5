#include "serverlist/list_jobs.h"

#include <cstring>
#include <mutex>

#include "core/view.h"
#include "serverlist/list_reader.h"
#include "serverlist/master_download.h"

namespace {

// The most recently started list thread; touched by the window thread alone.
HANDLE listThread = INVALID_HANDLE_VALUE;

// Every job uses templist.txt from start to end: an Update writes it and then reads it, a
// Refresh reads it. Jobs therefore take turns, each holding this lock for its whole run, so
// that no job reads a half-written list and no two downloads write it at once. A download
// that waits here has not connected yet, so the master never sees an idle connection. Only
// list threads take the lock: the window thread never waits for a job.
std::mutex listFileLock;

constexpr char httpScheme[] = "http://";
constexpr std::size_t httpSchemeLength = sizeof httpScheme - 1;

}  // namespace

DWORD WINAPI runListJob(void* source) {
    const char* const listSource = static_cast<const char*>(source);
    const std::lock_guard<std::mutex> turn(listFileLock);
    if (_strnicmp(listSource, httpScheme, httpSchemeLength) == 0)
        downloadServerList(listSource);
    else
        readServerList(listSource);
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
