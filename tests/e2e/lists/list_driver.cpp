// Runs the program's list jobs or its install-directory search in this process, for
// test_lists.py, and prints what they did, a line each: "status TEXT" for each status text,
// then the command's own lines. Exit code 1 when a job did not end within 20 s.
//
//   download URL STALL_MS LIMIT_MS KEY...  downloadServerList with a 300 ms connect limit;
//                                          "queried KEY" for each KEY it queried
//   overlap                                an Update; once it receives, a Refresh and another
//                                          Update; all three to their end
//   installdir                             findInstallDir, where the game's key exists: "dir TEXT"
#include "protocol/query_channel.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>

#include "core/browser.h"
#include "core/clock.h"
#include "core/server_table.h"
#include "core/view.h"
#include "serverlist/list_jobs.h"
#include "serverlist/list_reader.h"
#include "serverlist/master_download.h"

namespace {

constexpr DWORD waitLimitMs = 20000;
std::mutex outputMutex;

void print(const std::string& line) {
    std::lock_guard<std::mutex> lock(outputMutex);
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

bool wasQueried(const std::string& key) {
    auto lock = lockServerTable();
    return findServer(key) != nullptr;
}

std::string readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

template <typename Condition>
bool waitUntil(Condition condition) {
    for (const DWORD start = GetTickCount(); !condition(); Sleep(10))
        if (GetTickCount() - start > waitLimitMs) return false;
    return true;
}

HANDLE startJob(const char* source) {
    return CreateThread(nullptr, 0, runListJob, const_cast<char*>(source), 0, nullptr);
}

int overlap() {
    const std::string before = readFile(tempListFile);
    HANDLE jobs[3] = {startJob(masterListUrl)};
    if (!waitUntil([&] { return readFile(tempListFile) != before; })) return 1;
    jobs[1] = startJob(tempListFile);
    jobs[2] = startJob(masterListUrl);
    return WaitForMultipleObjects(3, jobs, TRUE, waitLimitMs) == WAIT_OBJECT_0 ? 0 : 1;
}

}  // namespace

void setStatusText(const char* text) { print(std::string("status ") + text); }

void updateServerRow(const std::string&, const ServerRowFields&) {}

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "installdir") {
        findInstallDir();
        print(std::string("dir ") + installDirectory());
        return 0;
    }
    startClock();
    openQueryChannel();
    if (command == "overlap") return overlap();
    if (command == "download" && argc > 4) {
        downloadServerList(argv[2], 300, static_cast<unsigned>(std::atoi(argv[3])),
                           static_cast<unsigned>(std::atoi(argv[4])));
        for (int i = 5; i < argc; ++i)
            if (wasQueried(argv[i])) print(std::string("queried ") + argv[i]);
        return 0;
    }
    std::fputs("usage: see list_driver.cpp\n", stderr);
    return 2;
}
