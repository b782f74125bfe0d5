#include "serverlist/list_reader.h"

// The query channel's header brings in Winsock, which must come before <windows.h>.
#include "protocol/query_channel.h"

#include <windows.h>

#include <cstdio>
#include <memory>

#include "core/clock.h"
#include "core/unique_file.h"
#include "core/view.h"

std::unique_lock<std::mutex> lockListFile() {
    // Never destroyed, like the server table: a list thread may hold it while the process exits.
    static std::mutex* const listFileMutex = new std::mutex;
    return std::unique_lock<std::mutex>(*listFileMutex);
}

bool loadListEntries(const char* path, std::vector<std::string>& entries) {
    entries.clear();
    const UniqueFile file = openFile(path, "rb");
    if (!file) {
        setStatusText("Failed to open list file.");
        return false;
    }
    if (readListEntries(file.get(), [&entries](const char* entry) { entries.emplace_back(entry); })) {
        const std::string cut = "List too long: only its first " + std::to_string(maxListEntries) + " servers are queried.";
        setStatusText(cut.c_str());
    }
    return true;
}

void queryListEntries(const std::vector<std::string>& entries) {
    QueryPacer pacer;
    for (const std::string& entry : entries) {
        queryServer(entry.c_str());
        pacer.pause(listQueryPacingMs);
    }
}

void readServerList(const char* path) {
    // The entries are taken out of the file at once, so the lock is not held while the
    // servers are queried, 30 ms apart.
    std::vector<std::string> entries;
    {
        const auto listFile = lockListFile();
        if (!loadListEntries(path, entries)) return;
    }
    queryListEntries(entries);
}
