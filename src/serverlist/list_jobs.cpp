#include "serverlist/list_jobs.h"

#include <cstring>

#include "core/view.h"
#include "serverlist/list_reader.h"
#include "serverlist/master_download.h"

namespace {

// The most recently started list thread; touched by the window thread alone.
HANDLE listThread = INVALID_HANDLE_VALUE;

constexpr char httpScheme[] = "http://";
constexpr std::size_t httpSchemeLength = sizeof httpScheme - 1;

}  // namespace

DWORD WINAPI runListJob(void* source) {
    const char* const listSource = static_cast<const char*>(source);
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
