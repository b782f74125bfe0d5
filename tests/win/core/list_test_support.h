#pragma once

// What the server list tests share: a scratch working directory, files as bytes, and the
// simulated world's game servers and master.

#include "protocol/query_channel.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core_environment.h"
#include "simworld_client.h"

namespace listtest {

// Game servers of these tests live on 127.2.0.x and 127.2.1.x.
constexpr char okHeader[] = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n";
const char* const listServers[] = {"127.2.0.1:27910", "127.2.0.2:27910", "127.2.0.3:27910"};
constexpr char threeEntries[] = "127.2.0.1:27910\r\n127.2.0.2:27910\r\n127.2.0.3\r\n";

inline std::string readFile(const char* path) {
    std::string bytes;
    if (std::FILE* file = std::fopen(path, "rb")) {
        char buffer[4096];
        for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, count);
        std::fclose(file);
    }
    return bytes;
}

inline void writeFile(const char* path, const std::string& bytes) {
    if (std::FILE* file = std::fopen(path, "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

// Each test in a fresh empty working directory, with the world emptied around it and the
// servers of the list (and oldServer, which only earlier lists name) running.
class ListTest : public ::testing::Test {
protected:
    static constexpr char oldServer[] = "127.2.0.4:27910";

    void SetUp() override {
        GetCurrentDirectoryA(MAX_PATH, previous_);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        // Wine hands out the same process ids run after run, so a folder that an earlier,
        // interrupted run left behind is passed over.
        static int counter = 0;
        bool created = false;
        for (int attempt = 0; attempt < 1000 && !created; ++attempt) {
            path_ = std::string(temp) + "sb-list-" + std::to_string(GetCurrentProcessId()) + "-" +
                    std::to_string(counter++);
            created = CreateDirectoryA(path_.c_str(), nullptr) != FALSE;
        }
        ASSERT_TRUE(created);
        SetCurrentDirectoryA(path_.c_str());

        ASSERT_TRUE(simworld::ok("reset"));
        for (const char* address : listServers) ASSERT_TRUE(simworld::ok(std::string("game.add address=") + address));
        ASSERT_TRUE(simworld::ok(std::string("game.add address=") + oldServer));
        recorder::clear();
    }

    void TearDown() override {
        simworld::request("reset");
        SetCurrentDirectoryA(previous_);
        const std::string list = path_ + "\\templist.txt";
        if (!DeleteFileA(list.c_str())) RemoveDirectoryA(list.c_str());
        RemoveDirectoryA(path_.c_str());
    }

    // Queries travel by UDP: once a query sent after them has arrived, so have they.
    static void settleQueries() {
        const char* sentinel = "127.2.0.250:27910";
        ASSERT_TRUE(simworld::ok(std::string("game.add address=") + sentinel));
        const std::size_t before = simworld::queriesTo(sentinel);
        queryServer(sentinel);
        ASSERT_TRUE(waitUntil([&] { return simworld::queriesTo(sentinel) > before; }));
    }

private:
    char previous_[MAX_PATH] = "";
    std::string path_;
};

}  // namespace listtest
