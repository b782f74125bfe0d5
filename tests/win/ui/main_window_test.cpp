#include "ui/main_window.h"

#include <atomic>
#include <thread>

#include "ui/layout.h"
#include "window_fixture.h"

using namespace testui;

namespace {

RECT childRect(HWND child) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void expectPlace(HWND child, const ChildRect& place, const char* name) {
    const RECT rect = childRect(child);
    EXPECT_EQ(rect.left, place.x) << name;
    EXPECT_EQ(rect.top, place.y) << name;
    EXPECT_EQ(rect.right - rect.left, place.width) << name;
    EXPECT_EQ(rect.bottom - rect.top, place.height) << name;
}

// The last column ends at the view's right edge; when the other columns alone are wider
// than the view it can only start beyond the edge.
void expectLastColumnReachesEdge(HWND list, int columns, const char* name) {
    int fixed = 0;
    for (int column = 0; column + 1 < columns; ++column)
        fixed += static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
    const int last = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, columns - 1, 0));
    RECT client = {};
    GetClientRect(list, &client);
    if (fixed * 2 <= client.right)
        EXPECT_EQ(fixed + last, client.right) << name;
    else
        EXPECT_GE(fixed + last, client.right) << name;
}

std::string columnTitle(HWND list, int column) {
    char title[64] = "";
    LVCOLUMNA info = {};
    info.mask = LVCF_TEXT;
    info.pszText = title;
    info.cchTextMax = sizeof title;
    SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&info));
    return title;
}

std::string statusText() {
    char text[256] = "";
    SendMessageA(statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    return text;
}

DWORD styleOf(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)); }

void resizeClient(HWND window, int width, int height) {
    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, styleOf(window), TRUE, 0);
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    pumpMessages();
}

TEST_F(MainWindowTest, ChildrenColumnsAndStylesAsBuilt) {
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    EXPECT_STREQ(className, "SERVERBROWSER");
    char title[64] = "";
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "serverbrowser");
    EXPECT_NE(GetMenu(window), nullptr);

    EXPECT_EQ(GetDlgCtrlID(statusBar), 3);
    EXPECT_EQ(styleOf(statusBar), 0x54000103u);
    for (HWND list : {serverList, playerList, infoList}) {
        EXPECT_EQ(GetParent(list), window);
        EXPECT_EQ(GetDlgCtrlID(list), 0);
        EXPECT_EQ(styleOf(list), 0x50800105u);
    }
    EXPECT_EQ(SendMessageA(serverList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_FULLROWSELECT);
    EXPECT_EQ(SendMessageA(playerList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), 0);

    const struct {
        HWND list;
        std::vector<std::string> titles;
        std::vector<int> widths;  // every column but the stretched last one
    } views[] = {
        {serverList, {"Server Name", "Map", "Players", "Ping", "Address"}, {300, 80, 50, 40}},
        {playerList, {"Name", "Score", "Ping"}, {200, 60}},
        {infoList, {"Variable", "Value"}, {100}},
    };
    for (const auto& view : views) {
        const HWND header = reinterpret_cast<HWND>(SendMessageA(view.list, LVM_GETHEADER, 0, 0));
        ASSERT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(view.titles.size()));
        for (std::size_t column = 0; column < view.titles.size(); ++column)
            EXPECT_EQ(columnTitle(view.list, static_cast<int>(column)), view.titles[column]);
        for (std::size_t column = 0; column < view.widths.size(); ++column)
            EXPECT_EQ(SendMessageA(view.list, LVM_GETCOLUMNWIDTH, column, 0), view.widths[column]);
    }
}

TEST_F(MainWindowTest, ResizesTileTheClientAreaAndStretchTheLastColumns) {
    for (const auto& size : {std::pair<int, int>{600, 300}, {601, 301}, {900, 640}, {333, 121}, {700, 400}}) {
        resizeClient(window, size.first, size.second);
        RECT client = {};
        GetClientRect(window, &client);
        SCOPED_TRACE(std::to_string(client.right) + " x " + std::to_string(client.bottom));
        const ChildLayout layout = computeLayout(client.right, client.bottom, statusHeight);
        expectPlace(serverList, layout.serverList, "server list");
        expectPlace(playerList, layout.playerList, "player list");
        expectPlace(infoList, layout.infoList, "info list");
        // The status bar follows the bottom edge and keeps the strip the layout leaves it.
        const RECT status = childRect(statusBar);
        EXPECT_EQ(status.bottom, client.bottom);
        EXPECT_EQ(status.right, client.right);
        expectLastColumnReachesEdge(serverList, 5, "server list");
        expectLastColumnReachesEdge(playerList, 3, "player list");
        expectLastColumnReachesEdge(infoList, 2, "info list");
    }
}

TEST_F(MainWindowTest, MinimisedSizeMovesNothing) {
    resizeClient(window, 640, 360);
    const RECT before[] = {childRect(serverList), childRect(playerList), childRect(infoList), childRect(statusBar)};
    SendMessageA(window, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    pumpMessages();
    const RECT after[] = {childRect(serverList), childRect(playerList), childRect(infoList), childRect(statusBar)};
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(EqualRect(&before[i], &after[i])) << "child " << i;
}

TEST_F(MainWindowTest, MinimiseHidesInsteadAndTheBackgroundIsNeverErased) {
    SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    pumpMessages();
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));
    ShowWindow(window, SW_SHOW);
    pumpMessages();
    EXPECT_TRUE(IsWindowVisible(window));

    const HDC dc = GetDC(window);
    EXPECT_EQ(SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    ReleaseDC(window, dc);
}

TEST_F(MainWindowTest, StatusTextFromAWorkerThread) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        setStatusText("Updating List...");
        done = true;
    });
    // The worker's message is served only while this thread pumps; bounded in rounds.
    for (int round = 0; round < 1000 && !done; ++round) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        pumpMessages();
    }
    worker.join();
    EXPECT_EQ(statusText(), "Updating List...");
    setStatusText(nullptr);
    EXPECT_EQ(statusText(), "");
}

// A reply or a list job that ends after the window has gone changes nothing and does not
// fail. This ends the shared window; the fixture makes a new one for the next test.
TEST_F(MainWindowTest, ViewOperationsAfterTheWindowIsDestroyedDoNothing) {
    const HWND oldList = serverList;
    EXPECT_TRUE(DestroyWindow(window));
    pumpMessages();
    ServerRowFields fields;
    fields.hostName = "Late";
    std::thread worker([&] {
        updateServerRow("127.0.99.1:27910", fields);
        setStatusText("Too late.");
    });
    worker.join();  // returns at once: nothing is waiting for the destroyed window
    updateServerRow("127.0.99.1:27910", fields);
    EXPECT_FALSE(IsWindow(oldList));
}

}  // namespace
