#pragma once

// A real main window on the test's own thread, which is then the window thread: rows go in
// through updateServerRow (a direct call on this thread), records through the server table.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
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
inline std::vector<std::string> listRows(HWND list, int columns) {
    std::vector<std::string> rows;
    for (int row = 0; row < rowCount(list); ++row) {
        std::string text;
        for (int column = 0; column < columns; ++column) text += (column ? "|" : "") + cellText(list, row, column);
        rows.push_back(text);
    }
    return rows;
}

struct ServerSample {
    std::string key;
    std::string hostName;
    std::string mapName;
    int maxClients = 0;
    int ping = 0;
    std::vector<PlayerEntry> players;
    ServerInfo info;
};

// Puts the server into the table as a reply would, then shows its row.
inline void addServer(const ServerSample& sample) {
    ServerRowFields fields;
    {
        auto lock = lockServerTable();
        ServerRecord& record = findOrAddServer(sample.key);
        record.hostName = sample.hostName;
        record.mapName = sample.mapName;
        record.maxClients = sample.maxClients;
        record.ping = sample.ping;
        record.players = sample.players;
        record.playerCount = static_cast<int>(sample.players.size());
        record.info = sample.info;
        fields = rowFieldsOf(record);
    }
    updateServerRow(sample.key, fields);
}

// The index of the row showing the address, -1 when there is none.
inline int rowOfAddress(const std::string& key) {
    for (int row = 0; row < rowCount(serverList); ++row)
        if (cellText(serverList, row, addressColumn) == key) return row;
    return -1;
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

inline std::string clipboardText() {
    if (!OpenClipboard(nullptr)) return "<clipboard busy>";
    std::string text = "<no text>";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

inline void setClipboardText(const std::string& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

// One main window for the whole suite: removing the tray icon takes Wine a few seconds, so
// a window per test would make the suite slow. Rows are never removed, so tests find their
// rows by address. A test that ends the window gets a new one for the next test.
class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sharedWindow = nullptr; }

    static void TearDownTestSuite() {
        closeWindow(sharedWindow);
        sharedWindow = nullptr;
    }

    void SetUp() override {
        // Another suite's window may have taken over the process-wide window state.
        if (!IsWindow(sharedWindow) || GetParent(serverList) != sharedWindow) {
            closeWindow(sharedWindow);
            sharedWindow = createMainWindow(GetModuleHandleA(nullptr));
            ASSERT_NE(sharedWindow, nullptr);
            loadPopupMenus();
        }
        window = sharedWindow;
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        pumpMessages();
    }

    void TearDown() override { pumpMessages(); }

    HWND window = nullptr;

private:
    static void closeWindow(HWND window) {
        if (window && IsWindow(window)) DestroyWindow(window);
        // Takes the quit message of WM_DESTROY out of the queue, so the next window starts clean.
        pumpMessages();
        destroyPopupMenus();
    }

    static HWND sharedWindow;
};

inline HWND MainWindowTest::sharedWindow = nullptr;

// Runs on this thread while a modal loop (a popup menu, a dialog box) holds it: timer
// messages are still dispatched there. Each tick calls act until it returns true; after
// maxTicks ticks the callback stops and giveUp ends whatever is still open, so a test can
// never wait for ever on a modal loop.
class ModalDriver {
public:
    using Act = bool (*)(int tick);
    using GiveUp = void (*)();

    ModalDriver(Act act, GiveUp giveUp, int maxTicks = 200) {
        current().act = act;
        current().giveUp = giveUp;
        current().maxTicks = maxTicks;
        current().ticks = 0;
        current().done = false;
        current().gaveUp = false;
        timer = SetTimer(nullptr, 0, tickMs, onTick);
    }
    ~ModalDriver() {
        if (timer) KillTimer(nullptr, timer);
    }
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    bool gaveUp() const { return current().gaveUp; }

private:
    static constexpr UINT tickMs = 25;

    struct State {
        Act act = nullptr;
        GiveUp giveUp = nullptr;
        int maxTicks = 0;
        int ticks = 0;
        bool done = false;
        bool gaveUp = false;
    };
    static State& current() {
        static State state;
        return state;
    }
    static void CALLBACK onTick(HWND, UINT, UINT_PTR, DWORD) {
        State& state = current();
        if (state.done) return;
        if (state.act(state.ticks++)) {
            state.done = true;
        } else if (state.ticks >= state.maxTicks) {
            state.done = true;
            state.gaveUp = true;
            state.giveUp();
        }
    }

    UINT_PTR timer = 0;
};

}  // namespace testui
