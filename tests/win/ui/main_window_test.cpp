#include "ui/main_window.h"

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

void expectPlace(HWND child, const ChildRect& place) {
    const RECT rect = childRect(child);
    EXPECT_EQ(rect.left, place.x);
    EXPECT_EQ(rect.top, place.y);
    EXPECT_EQ(rect.right - rect.left, place.width);
    EXPECT_EQ(rect.bottom - rect.top, place.height);
}

// The last column ends at the view's right edge; when the other columns alone are wider
// than the view it can only start beyond the edge.
void expectLastColumnReachesEdge(HWND list) {
    const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int columns = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    int fixed = 0;
    for (int column = 0; column + 1 < columns; ++column)
        fixed += static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
    const int last = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, columns - 1, 0));
    RECT client = {};
    GetClientRect(list, &client);
    if (fixed * 2 <= client.right)
        EXPECT_EQ(fixed + last, client.right);
    else
        EXPECT_GE(fixed + last, client.right);
}

void resizeClient(HWND window, int width, int height) {
    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), TRUE, 0);
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    pumpMessages();
}

TEST_F(WindowTest, ResizesTileTheClientAreaAndStretchTheLastColumns) {
    for (const auto& size : {std::pair<int, int>{600, 300}, {601, 301}, {900, 640}, {333, 121}, {700, 400}}) {
        resizeClient(window, size.first, size.second);
        RECT client = {};
        GetClientRect(window, &client);
        SCOPED_TRACE(std::to_string(client.right) + " x " + std::to_string(client.bottom));
        const ChildLayout layout = computeLayout(client.right, client.bottom, statusHeight);
        expectPlace(serverList, layout.serverList);
        expectPlace(playerList, layout.playerList);
        expectPlace(infoList, layout.infoList);
        // The status bar follows the bottom edge and keeps the strip the layout leaves it.
        const RECT status = childRect(statusBar);
        EXPECT_EQ(status.bottom, client.bottom);
        EXPECT_EQ(status.right, client.right);
        for (HWND list : {serverList, playerList, infoList}) expectLastColumnReachesEdge(list);
    }

    // A minimised size moves nothing.
    const RECT before[] = {childRect(serverList), childRect(playerList), childRect(infoList), childRect(statusBar)};
    SendMessageA(window, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    pumpMessages();
    const RECT after[] = {childRect(serverList), childRect(playerList), childRect(infoList), childRect(statusBar)};
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(EqualRect(&before[i], &after[i])) << "child " << i;
}

// A reply or a list job that ends after the window has gone changes nothing and does not fail.
TEST_F(WindowTest, ViewOperationsAfterTheWindowIsDestroyedDoNothing) {
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
