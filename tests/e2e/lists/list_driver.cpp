// Runs the program's list jobs or its install-directory search in this process, for
// test_lists.py, and prints what they did, a line each: "status TEXT" for each status text,
// then the command's own lines. Exit code 1 when a job did not end within 20 s.
//
//   download URL STALL_MS LIMIT_MS KEY...  downloadServerList with a 300 ms connect limit;
//                                          "queried KEY" for each KEY it queried
//   overlap                                an Update; once it receives, a Refresh and another
//                                          Update; all three to their end
//   pace FIRST LAST KEY...                 an Update; once FIRST is queried, a Refresh of a
//                                          missing file; "meanwhile LAST" if LAST was queried by
//                                          then; at the end "time KEY MS" for each KEY
//   installdir                             findInstallDir: "box TITLE: TEXT" for each message
//                                          box (dismissed), then "dir TEXT"
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

int pace(int argc, char** argv) {
    const HANDLE update = startJob(masterListUrl);
    if (!waitUntil([&] { return wasQueried(argv[2]); })) return 1;
    readServerList("no-such-list.txt");
    if (wasQueried(argv[3])) print(std::string("meanwhile ") + argv[3]);
    if (WaitForSingleObject(update, waitLimitMs) != WAIT_OBJECT_0) return 1;
    auto lock = lockServerTable();
    for (int i = 4; i < argc; ++i)
        if (const ServerRecord* record = findServer(argv[i]))
            print(std::string("time ") + argv[i] + " " + std::to_string(record->queryTime));
    return 0;
}

// findInstallDir on a thread of its own, while this one dismisses its message boxes.
int installDir() {
    const HANDLE thread = CreateThread(nullptr, 0, [](void*) -> DWORD {
        findInstallDir();
        return 0;
    }, nullptr, 0, nullptr);
    const DWORD start = GetTickCount();
    for (HWND dismissed = nullptr; WaitForSingleObject(thread, 10) != WAIT_OBJECT_0;) {
        if (GetTickCount() - start > waitLimitMs) return 1;
        const HWND box = FindWindowA("#32770", nullptr);
        if (box == nullptr || box == dismissed) continue;
        char title[256] = "";
        char text[256] = "";
        GetWindowTextA(box, title, sizeof title);
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        print(std::string("box ") + title + ": " + text);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        dismissed = box;
    }
    print(std::string("dir ") + installDirectory());
    return 0;
}

}  // namespace

void setStatusText(const char* text) { print(std::string("status ") + text); }

void updateServerRow(const std::string&, const ServerRowFields&) {}

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "installdir") return installDir();
    startClock();
    openQueryChannel();
    if (command == "overlap") return overlap();
    if (command == "pace" && argc > 3) return pace(argc, argv);
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
