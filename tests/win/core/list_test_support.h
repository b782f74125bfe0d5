#pragma once

// Helpers shared by the server list tests: a scratch working directory, files as bytes,
// bounded waits, and the simulated world's game servers and master list server.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "recorder.h"
#include "simworld_client.h"

namespace listtest {

// Game servers of these tests live on 127.2.0.x; this one only marks that earlier queries
// have arrived (see settleQueries).
constexpr char sentinelServer[] = "127.2.0.250:27910";
// Waits that end as soon as their condition holds; the limit only bounds a failing test.
constexpr unsigned waitLimitMs = 20000;

inline std::string fromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::strtol(hex.substr(i, 2).c_str(), nullptr, 16));
    return bytes;
}

inline bool worldOk(const std::string& request) {
    std::string why;
    const bool ok = simworld::ok(simworld::request(request), &why);
    if (!ok) ADD_FAILURE() << request << ": " << why;
    return ok;
}

inline bool waitUntil(const std::function<bool()>& condition, unsigned limitMs = waitLimitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > limitMs) return false;
        Sleep(10);
    }
}

inline std::vector<double> queryTimes(const std::string& address) {
    std::vector<double> times;
    const simworld::Json response = simworld::request("game.log " + address);
    for (const simworld::Json& entry : response["log"].items)
        times.push_back(entry["t"].number);
    return times;
}

inline std::size_t queriesTo(const std::string& address) { return queryTimes(address).size(); }

// The requests the master at 127.0.0.1 has received, as raw bytes.
inline std::vector<std::string> masterRequests() {
    std::vector<std::string> requests;
    const simworld::Json response = simworld::request("master.log");
    for (const simworld::Json& entry : response["log"].items)
        requests.push_back(entry["raw"].text);
    return requests;
}

// Starts or reconfigures the master at 127.0.0.1 with the response bytes and further fields.
inline bool setMaster(const std::string& fields, const std::string& response) {
    return worldOk("{\"op\": \"master.set\", \"hex\": \"" + simworld::hex(response) + "\"" + fields + "}");
}

inline bool fileExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

inline std::string readFile(const char* path) {
    std::string bytes;
    if (std::FILE* file = std::fopen(path, "rb")) {
        char buffer[4096];
        std::size_t count;
        while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, count);
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

// A fresh empty working directory for one test; the previous one is restored afterwards.
class ScratchDirectory {
public:
    ScratchDirectory() {
        GetCurrentDirectoryA(MAX_PATH, previous_);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + "sb-list-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(counter()++);
        CreateDirectoryA(path_.c_str(), nullptr);
        SetCurrentDirectoryA(path_.c_str());
    }
    ~ScratchDirectory() {
        SetCurrentDirectoryA(previous_);
        const std::string list = path_ + "\\templist.txt";
        SetFileAttributesA(list.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(list.c_str())) RemoveDirectoryA(list.c_str());
        RemoveDirectoryA(path_.c_str());
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

private:
    static int& counter() {
        static int next = 0;
        return next;
    }
    char previous_[MAX_PATH] = "";
    std::string path_;
};

}  // namespace listtest
