// Runs the program's download of a list or its install-directory search in this process, for
// test_lists.py, and prints what they did, a line each: "status TEXT" for each status text,
// then the command's own lines.
//
//   download URL STALL_MS LIMIT_MS KEY...  downloadServerList with a 300 ms connect limit;
//                                          "queried KEY" for each KEY it queried
//   installdir                             findInstallDir, where the game's key exists: "dir TEXT"
//                                          (in UTF-8)
#include "protocol/query_channel.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/install_dir.h"
#include "core/clock.h"
#include "core/server_table.h"
#include "core/view.h"
#include "serverlist/master_download.h"

void setStatusText(const char* text) { std::printf("status %s\n", text); }

void updateServerRow(const std::string&, const ServerRowFields&) {}

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "installdir") {
        findInstallDir();
        const std::wstring& directory = installDirectory();
        std::string utf8(directory.size() * 3 + 1, '\0');
        utf8.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, directory.c_str(), static_cast<int>(directory.size()),
                                                                 &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr)));
        std::printf("dir %s\n", utf8.c_str());
        return 0;
    }
    if (command == "download" && argc > 4) {
        startClock();
        openQueryChannel();
        downloadServerList(argv[2], 300, static_cast<unsigned>(std::atoi(argv[3])),
                           static_cast<unsigned>(std::atoi(argv[4])));
        auto lock = lockServerTable();
        for (int i = 5; i < argc; ++i)
            if (findServer(argv[i])) std::printf("queried %s\n", argv[i]);
        return 0;
    }
    std::fputs("usage: see list_driver.cpp\n", stderr);
    return 2;
}
