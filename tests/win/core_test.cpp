// What needs Win32 but not the window: the install directory from the registry, and the list
// jobs against the simulated world's master (time limits shortened), in a scratch folder.
// In place of the window, a recorder keeps every status text.

// Winsock's headers must come before <windows.h>.
#include "protocol/query_channel.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "core/browser.h"
#include "core/clock.h"
#include "core/server_table.h"
#include "core/view.h"
#include "serverlist/list_jobs.h"
#include "serverlist/list_reader.h"
#include "serverlist/master_download.h"

using Texts = std::vector<std::string>;

namespace {

std::mutex textsMutex;
Texts recordedTexts;

Texts statusTexts() {
    std::lock_guard<std::mutex> lock(textsMutex);
    return recordedTexts;
}

void clearTexts() {
    std::lock_guard<std::mutex> lock(textsMutex);
    recordedTexts.clear();
}

}  // namespace

void setStatusText(const char* text) {
    std::lock_guard<std::mutex> lock(textsMutex);
    recordedTexts.emplace_back(text);
}

void updateServerRow(const std::string&, const ServerRowFields&) {}

namespace {

constexpr DWORD waitLimitMs = 20000;
// The program starts its clock before any thread; so does this process.
const bool clockStarted = (startClock(), true);
constexpr char gameKey[] = "Software\\Kestrel Forge\\Tarnwick";

bool waitUntil(const std::function<bool()>& condition) {
    for (const DWORD start = GetTickCount(); !condition(); Sleep(10))
        if (GetTickCount() - start > waitLimitMs) return false;
    return true;
}

// One request line to the world's control port (SB_SIMWORLD_CONTROL) and its response line.
std::string askWorld(const std::string& line) {
    const char* control = std::getenv("SB_SIMWORLD_CONTROL");
    const char* colon = control ? std::strrchr(control, ':') : nullptr;
    if (colon == nullptr) return "no world: run inside simworld.py";
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(std::atoi(colon + 1)));
    address.sin_addr.s_addr = inet_addr(std::string(control, colon).c_str());
    const SOCKET connection = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    DWORD timeout = waitLimitMs;
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    std::string response;
    const std::string request = line + "\n";
    if (connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        send(connection, request.data(), static_cast<int>(request.size()), 0) == static_cast<int>(request.size())) {
        char chunk[4096];
        for (int n; (response.empty() || response.back() != '\n') && (n = recv(connection, chunk, sizeof chunk, 0)) > 0;)
            response.append(chunk, static_cast<std::size_t>(n));
    }
    closesocket(connection);
    return response;
}

void world(const std::string& line) {
    const std::string response = askWorld(line);
    ASSERT_NE(response.find("\"ok\": true"), std::string::npos) << line << ": " << response;
}

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++found;
    return found;
}

std::size_t queriesTo(const std::string& address) { return count(askWorld("game.log " + address), "\"t\":"); }
std::size_t masterRequests() { return count(askWorld("master.log"), "\"raw\":"); }

bool wasQueried(const std::string& key) {
    auto lock = lockServerTable();
    return findServer(key) != nullptr;
}

std::string readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const char* path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

HANDLE startJob(const char* source) { return CreateThread(nullptr, 0, runListJob, const_cast<char*>(source), 0, nullptr); }

// Each test in a fresh scratch folder, with the query channel open (no receiver: replies are
// not looked at here) and the world emptied. Addresses differ from test to test, because the
// server table keeps its records for the whole process.
class ListTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "sb-list-" + std::to_string(GetTickCount());
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        SetCurrentDirectoryA(folder_.c_str());
        openQueryChannel();
        world("reset");
        clearTexts();
    }

    void TearDown() override {
        askWorld("reset");
        closeQueryChannel();
        SetCurrentDirectoryA("C:\\");
        DeleteFileA((folder_ + "\\templist.txt").c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    std::string folder_;
};

const std::string okHeader = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n";

// The master's response as a JSON text whose characters are the bytes.
std::string raw(const std::string& bytes) {
    std::string out = "\"";
    for (char c : bytes) out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
    return out + "\"";
}

}  // namespace

TEST_F(ListTest, ResponseThatEndsEarlyIsStoredAndReadAsFarAsItCame) {
    constexpr unsigned shortStallMs = 300;
    const std::string cut = okHeader + "127.3.0.1:27910\r\n127.3.0.2:279";
    const std::string first = okHeader + "127.3.1.1:27910\r\n";
    const struct {
        std::string master, stored;
        Texts queried, notQueried;
    } cases[] = {
        {"\"mode\": \"close\", \"raw\": " + raw(okHeader + "127.3.9.1\r\n"), "", {}, {"127.3.9.1:27910"}},
        // The cut line is queried with what arrived: port 279.
        {"\"mode\": \"reset\", \"cut_after\": " + std::to_string(cut.size()) + ", \"raw\": " + raw(cut + "10\r\n127.3.0.3\r\n"),
         cut, {"127.3.0.1:27910", "127.3.0.2:279"}, {"127.3.0.2:27910", "127.3.0.3:27910"}},
        // Then nothing for far longer than the stall limit.
        {"\"mode\": \"slow\", \"interval_ms\": 60000, \"chunk_size\": " + std::to_string(first.size()) +
             ", \"raw\": " + raw(first + "127.3.1.2:27910\r\n"),
         first, {"127.3.1.1:27910"}, {"127.3.1.2:27910"}},
        {"\"mode\": \"hang\", \"raw\": " + raw(okHeader + "127.3.9.2\r\n"), "", {}, {"127.3.9.2:27910"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.master);
        writeFile(tempListFile, "127.3.9.9\n");
        world("{\"op\": \"master.set\", " + c.master + "}");
        downloadServerList(masterListUrl, masterConnectLimitMs, shortStallMs);
        EXPECT_EQ(readFile(tempListFile), c.stored);
        for (const std::string& key : c.queried) EXPECT_TRUE(wasQueried(key)) << key;
        for (const std::string& key : c.notQueried) EXPECT_FALSE(wasQueried(key)) << key;
    }
    EXPECT_FALSE(wasQueried("127.3.9.9:27910"));
    EXPECT_EQ(statusTexts(), Texts{});

    // A byte now and then, never stalling, is cut off at the download's whole limit.
    world("{\"op\": \"master.set\", \"mode\": \"slow\", \"interval_ms\": 100, \"chunk_size\": 1, \"raw\": " +
          raw(okHeader + "127.3.9.3\r\n") + "}");
    downloadServerList(masterListUrl, masterConnectLimitMs, shortStallMs, 1000);
    EXPECT_EQ(statusTexts(), Texts{"List download took too long."});
    EXPECT_FALSE(wasQueried("127.3.9.3:27910"));
}

TEST_F(ListTest, FailureBeforeTheResponseKeepsThePreviousList) {
    constexpr unsigned shortConnectMs = 300;
    const struct {
        const char* url;
        const char* master;  // how the master at 127.0.0.1 behaves, or nothing there
        const char* status;
    } cases[] = {
        {"http://no-such-master.invalid/serverlist.php", nullptr, "Failed to resolve hostname."},
        {"http://127.0.0.9/serverlist.php", nullptr, "Failed to connect."},
        // SYNs that are never answered: the connect limit ends the wait.
        {masterListUrl, "\"mode\": \"no_accept\"", "Failed to connect."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        if (c.master != nullptr) world("{\"op\": \"master.set\", \"entries\": [\"127.3.2.1\"], " + std::string(c.master) + "}");
        writeFile(tempListFile, "127.3.2.9\n");
        clearTexts();
        downloadServerList(c.url, shortConnectMs);
        EXPECT_EQ(statusTexts(), Texts{c.status});
        EXPECT_EQ(readFile(tempListFile), "127.3.2.9\n");
    }
    EXPECT_FALSE(wasQueried("127.3.2.1:27910"));
    EXPECT_FALSE(wasQueried("127.3.2.9:27910"));
}

TEST_F(ListTest, OverlappingJobsNeverMixOrHalfReadTheList) {
    const char* const servers[] = {"127.3.3.1:27910", "127.3.3.2:27910"};
    for (const char* server : servers) world(std::string("game.add address=") + server);
    world("game.add address=127.3.3.9:27910");
    writeFile(tempListFile, "127.3.3.9:27910\n");
    const std::string response = okHeader + servers[0] + "\r\n" + servers[1] + "\r\n";
    world("{\"op\": \"master.set\", \"mode\": \"slow\", \"chunk_size\": 8, \"interval_ms\": 30, \"raw\": " +
          raw(response) + "}");

    // An Update that is receiving, then a Refresh and a second Update.
    HANDLE jobs[3] = {startJob(masterListUrl)};
    ASSERT_TRUE(waitUntil([] { return masterRequests() == 1; }));
    jobs[1] = startJob(tempListFile);
    jobs[2] = startJob(masterListUrl);
    ASSERT_EQ(WaitForMultipleObjects(3, jobs, TRUE, waitLimitMs), WAIT_OBJECT_0);
    for (HANDLE job : jobs) CloseHandle(job);

    EXPECT_EQ(readFile(tempListFile), response);
    EXPECT_EQ(masterRequests(), 2u);
    EXPECT_TRUE(waitUntil([&] { return queriesTo(servers[0]) == 3 && queriesTo(servers[1]) == 3; }));
    EXPECT_EQ(queriesTo("127.3.3.9:27910"), 0u);
    EXPECT_EQ(statusTexts(), Texts{});
}

TEST_F(ListTest, JobsOverlapWhileTheyQueryAndQueriesArePaced) {
    // A list that takes seconds to query: servers that nobody runs, then the last one.
    std::string entries;
    for (int i = 1; i <= 99; ++i) entries += "127.3.4." + std::to_string(i) + ":27910\n";
    world("game.add address=127.3.4.99:27910");
    world("{\"op\": \"master.set\", \"raw\": " + raw(okHeader + entries) + "}");
    const HANDLE update = startJob(masterListUrl);
    ASSERT_TRUE(waitUntil([] { return wasQueried("127.3.4.2:27910"); }));

    // Another job meanwhile neither waits for those queries nor disturbs them.
    readServerList("no-such-list.txt");
    EXPECT_EQ(statusTexts(), Texts{"Failed to open list file."});
    EXPECT_EQ(queriesTo("127.3.4.99:27910"), 0u);
    EXPECT_EQ(WaitForSingleObject(update, waitLimitMs), WAIT_OBJECT_0);
    CloseHandle(update);
    EXPECT_EQ(queriesTo("127.3.4.99:27910"), 1u);

    // Each query at least the pause after the one before: stamps taken just before each send.
    auto lock = lockServerTable();
    for (int i = 2; i <= 99; ++i) {
        const std::string key = "127.3.4." + std::to_string(i) + ":27910";
        const std::string before = "127.3.4." + std::to_string(i - 1) + ":27910";
        EXPECT_GE(findServer(key)->queryTime - findServer(before)->queryTime, listQueryPacingMs - 1) << key;
    }
}

namespace {

void deleteGameKeys() {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        RegDeleteKeyExA(root, gameKey, KEY_WOW64_32KEY, 0);
        RegDeleteKeyExA(root, "Software\\Kestrel Forge", KEY_WOW64_32KEY, 0);
    }
}

// Creates the key under root with INSTDIR holding exactly these bytes (none: the key without the value).
void createGameKey(HKEY root, const std::string* bytes = nullptr) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, gameKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (bytes != nullptr)
        RegSetValueExA(key, "INSTDIR", 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes->data()),
                       static_cast<DWORD>(bytes->size()));
    RegCloseKey(key);
}

void setInstallDir(HKEY root, const std::string& text) {
    const std::string terminated(text.c_str(), text.size() + 1);
    createGameKey(root, &terminated);
}

// Runs findInstallDir on a thread of its own and dismisses every message box it shows (each
// must give the message). Returns how many it showed, -1 when findInstallDir did not end in time.
int boxesWhileFinding() {
    const auto find = [](void*) -> DWORD {
        findInstallDir();
        return 0;
    };
    const HANDLE thread = CreateThread(nullptr, 0, find, nullptr, 0, nullptr);
    const DWORD start = GetTickCount();
    int boxes = 0;
    for (HWND dismissed = nullptr; WaitForSingleObject(thread, 10) != WAIT_OBJECT_0;) {
        if (GetTickCount() - start > waitLimitMs) {
            boxes = -1;
            break;
        }
        const HWND box = FindWindowA("#32770", "Tarnwick Server Browser Error");
        if (box == nullptr || box == dismissed) continue;
        EXPECT_NE(FindWindowExA(box, nullptr, "Static", "Tarnwick installation directory not found."), nullptr);
        ++boxes;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        dismissed = box;
    }
    CloseHandle(thread);
    return boxes;
}

std::string quietInstallDir() {
    EXPECT_EQ(boxesWhileFinding(), 0);
    return installDirectory();
}

}  // namespace

TEST(InstallDir, RegistryOrderAndDefault) {
    deleteGameKeys();
    EXPECT_EQ(boxesWhileFinding(), 1);
    EXPECT_STREQ(installDirectory(), "c:\\games\\tarnwick");

    // The current user comes first; a key without the value ends the search.
    setInstallDir(HKEY_CURRENT_USER, "C:\\Games\\From User");
    setInstallDir(HKEY_LOCAL_MACHINE, "D:\\Games\\From Machine");
    EXPECT_EQ(quietInstallDir(), "C:\\Games\\From User");
    RegDeleteKeyExA(HKEY_CURRENT_USER, gameKey, KEY_WOW64_32KEY, 0);
    EXPECT_EQ(quietInstallDir(), "D:\\Games\\From Machine");
    createGameKey(HKEY_CURRENT_USER);
    EXPECT_EQ(quietInstallDir(), "");
    // A value too long for the launcher's buffer is not read at all.
    setInstallDir(HKEY_CURRENT_USER, std::string(256, 'd'));
    EXPECT_EQ(quietInstallDir(), "");
    deleteGameKeys();
}
