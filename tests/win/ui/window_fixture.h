#pragma once

// A real main window on the test's own thread, which is then the window thread. Servers go
// into the table as replies would put them there, and their rows come from a worker thread,
// as the receiver thread sends them.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/server_table.h"
#include "core/view.h"
#include "ui/main_window.h"
#include "ui/server_rows.h"

namespace testui {

// Handles what is waiting in this thread's queue; bounded, so that a message that keeps
// re-posting itself cannot hang a test.
inline void pumpMessages() {
    MSG message;
    for (int handled = 0; handled < 10000 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++handled) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Runs work on another thread while this one serves the window; bounded in rounds, so that
// a message that is never served cannot hang the test.
template <typename Work>
void onWorker(Work work) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done = true;
    });
    for (int round = 0; round < 2000 && !done; ++round) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        pumpMessages();
    }
    EXPECT_TRUE(done) << "the worker's messages were never served";
    worker.join();
}

inline std::string cellText(HWND list, int row, int column) {
    char buffer[256] = "";
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

inline int rowCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

// Every row of a list view, each as its cells joined by "|".
inline std::vector<std::string> listRows(HWND list) {
    const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int columns = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    std::vector<std::string> rows;
    for (int row = 0; row < rowCount(list); ++row) {
        std::string text;
        for (int column = 0; column < columns; ++column) text += (column ? "|" : "") + cellText(list, row, column);
        rows.push_back(text);
    }
    return rows;
}

// One server-list column, top to bottom.
inline std::vector<std::string> columnTexts(int column) {
    std::vector<std::string> cells;
    for (int row = 0; row < rowCount(serverList); ++row) cells.push_back(cellText(serverList, row, column));
    return cells;
}

// A server as a reply describes it; with players listed, playerCount is their number.
struct Server {
    Server(std::string key, std::string name, std::string map, int playerCount, int maxClients, int ping,
           std::vector<PlayerEntry> players = {}, ServerInfo info = {})
        : key(std::move(key)), name(std::move(name)), map(std::move(map)), playerCount(playerCount),
          maxClients(maxClients), ping(ping), players(std::move(players)), info(std::move(info)) {}
    std::string key, name, map;
    int playerCount, maxClients, ping;
    std::vector<PlayerEntry> players;
    ServerInfo info;
};

// Puts each server into the table as a reply would, then sends its row update from a worker.
inline void showServers(const std::vector<Server>& servers) {
    std::vector<ServerRowFields> fields;
    for (const Server& server : servers) {
        auto lock = lockServerTable();
        ServerRecord& record = findOrAddServer(server.key);
        record.hostName = server.name;
        record.mapName = server.map;
        record.playerCount = server.players.empty() ? server.playerCount : static_cast<int>(server.players.size());
        record.maxClients = server.maxClients;
        record.ping = server.ping;
        record.players = server.players;
        record.info = server.info;
        fields.push_back(rowFieldsOf(record));
    }
    onWorker([&] {
        for (std::size_t i = 0; i < servers.size(); ++i) updateServerRow(servers[i].key, fields[i]);
    });
}

inline LRESULT sendNotify(HWND window, NMHDR& header) {
    return SendMessageA(window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
}

// A click-type notification (NM_CLICK, NM_DBLCLK, NM_RCLICK) from a list view.
inline LRESULT sendItemNotify(HWND window, HWND from, UINT code, int item) {
    NMITEMACTIVATE activate = {};
    activate.hdr.hwndFrom = from;
    activate.hdr.code = code;
    activate.iItem = item;
    return sendNotify(window, activate.hdr);
}

// A fresh main window for each test: sort directions at their initial values, and only the
// test's own rows. The server table is one per process, so each test uses keys of its own.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = createMainWindow(GetModuleHandleA(nullptr));
        ASSERT_NE(window, nullptr);
        loadPopupMenus();
        ShowWindow(window, SW_SHOWNORMAL);
        pumpMessages();
    }

    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
        // Takes the quit message of WM_DESTROY out of the queue, so the next window starts clean.
        pumpMessages();
        destroyPopupMenus();
    }

    HWND window = nullptr;
};

}  // namespace testui
