#include "ui/commands.h"

#include <atomic>
#include <thread>

#include "resources/resource.h"
#include "ui/app_messages.h"
#include "window_fixture.h"

using namespace testui;

namespace {

constexpr char alphaKey[] = "10.0.0.5:27910";
constexpr char bravoKey[] = "127.0.20.2:27911";

void addAlphaAndBravo() {
    ServerSample alpha;
    alpha.key = alphaKey;
    alpha.hostName = "Alpha";
    alpha.mapName = "pond";
    alpha.maxClients = 16;
    alpha.ping = 45;
    alpha.players = {{"a", 1, 1}, {"b", 2, 2}, {"c", 3, 3}};
    alpha.info = {{"hostname", "Alpha"}};
    addServer(alpha);

    ServerSample bravo;
    bravo.key = bravoKey;
    bravo.hostName = "";
    bravo.mapName = "";
    bravo.ping = -7;
    bravo.info = {{"mapname", ""}};
    addServer(bravo);
}

// The first window of a class on this thread, or null.
HWND threadWindowOfClass(const char* className) {
    struct Search {
        const char* className;
        HWND found;
    } search{className, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND candidate, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            char name[64] = "";
            GetClassNameA(candidate, name, sizeof name);
            if (lstrcmpA(name, s->className) != 0 || !IsWindowVisible(candidate)) return TRUE;
            s->found = candidate;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool menuIsOpen() {
    const HWND menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu);
}

// What a popup menu is to receive once it is open; the menu loop reads this thread's queue.
WPARAM menuKey = 0;
bool menuKeyIsChar = false;

bool pressMenuKey(int) {
    if (!menuIsOpen()) return false;
    PostMessageA(GetActiveWindow() ? GetActiveWindow() : serverList, menuKeyIsChar ? WM_CHAR : WM_KEYDOWN, menuKey, 0);
    return true;
}

void closeMenu() { EndMenu(); }

// Opens a popup with the given handler call and answers it with one key.
template <typename Open>
LRESULT answerMenu(WPARAM key, bool isChar, Open open) {
    menuKey = key;
    menuKeyIsChar = isChar;
    ModalDriver driver(pressMenuKey, closeMenu);
    const LRESULT result = open();
    EXPECT_FALSE(driver.gaveUp()) << "the menu never opened or never took the key";
    return result;
}

UINT aboutKey = 0;  // VK_RETURN, VK_ESCAPE, or 0 to press the OK button
LONG aboutStyle = 0;

bool closeAbout(int) {
    const HWND dialog = threadWindowOfClass("#32770");
    if (!dialog) return false;
    aboutStyle = GetWindowLongA(dialog, GWL_STYLE);
    const HWND ok = GetDlgItem(dialog, IDOK);
    if (aboutKey == 0)
        PostMessageA(ok, BM_CLICK, 0, 0);
    else
        PostMessageA(GetFocus() ? GetFocus() : ok, WM_KEYDOWN, aboutKey, 0);
    return true;
}

void endAbout() {
    if (const HWND dialog = threadWindowOfClass("#32770")) EndDialog(dialog, 99);
}

INT_PTR runAboutBox(HWND owner, UINT key) {
    aboutKey = key;
    aboutStyle = 0;
    ModalDriver driver(closeAbout, endAbout);
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUTBOX), owner, aboutDialogProc, 0);
}

}  // namespace

TEST_F(MainWindowTest, CopyCommandsPutTheRowTextsOnTheClipboard) {
    addAlphaAndBravo();
    const int alpha = rowOfAddress(alphaKey);
    const int bravo = rowOfAddress(bravoKey);
    ASSERT_GE(alpha, 0);
    ASSERT_GE(bravo, 0);

    EXPECT_EQ(dispatchCommand(ID_ROW_COPYADDRESS, window, alpha), 1);
    EXPECT_EQ(clipboardText(), "10.0.0.5:27910");
    EXPECT_EQ(dispatchCommand(ID_ROW_COPYURL, window, alpha), 1);
    EXPECT_EQ(clipboardText(), "tarnwick://10.0.0.5:27910");
    EXPECT_EQ(dispatchCommand(ID_ROW_COPYFULLINFO, window, alpha), 1);
    EXPECT_EQ(clipboardText(), "10.0.0.5:27910 Alpha 45 pond 3 / 16");
    // Empty name and map keep their blanks.
    EXPECT_EQ(dispatchCommand(ID_ROW_COPYFULLINFO, window, bravo), 1);
    EXPECT_EQ(clipboardText(), "127.0.20.2:27911  -7  0 / 0");
}

TEST_F(MainWindowTest, CopyReplacesEveryFormatOnTheClipboard) {
    addAlphaAndBravo();
    const UINT marker = RegisterClipboardFormatA("ServerBrowserTestMarker");
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 4);
    SetClipboardData(marker, block);
    CloseClipboard();

    EXPECT_EQ(copyServerText(window, rowOfAddress(alphaKey), 0), 1);
    EXPECT_FALSE(IsClipboardFormatAvailable(marker));
    EXPECT_EQ(clipboardText(), "10.0.0.5:27910");
}

TEST_F(MainWindowTest, NothingIsCopiedForNoRowAnUnknownKindOrABusyClipboard) {
    addAlphaAndBravo();
    setClipboardText("before");
    for (int kind = 0; kind < 3; ++kind) EXPECT_EQ(copyServerText(window, -1, kind), 0) << "kind " << kind;
    EXPECT_EQ(copyServerText(window, rowCount(serverList), 1), 0);
    EXPECT_EQ(copyServerText(window, rowOfAddress(alphaKey), 3), 0);
    EXPECT_EQ(clipboardText(), "before");

    // Another thread holds the clipboard open: the copy gives up and the text stays.
    std::atomic<bool> opened{false};
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        opened = OpenClipboard(nullptr) != FALSE;
        WaitForSingleObject(release, 10000);
        if (opened) CloseClipboard();
    });
    for (int i = 0; i < 400 && !opened; ++i) Sleep(5);
    ASSERT_TRUE(opened);
    EXPECT_EQ(copyServerText(window, rowOfAddress(alphaKey), 0), 0);
    SetEvent(release);
    holder.join();
    CloseHandle(release);
    EXPECT_EQ(clipboardText(), "before");
}

TEST_F(MainWindowTest, RowMenuActsOnTheRightClickedRow) {
    addAlphaAndBravo();
    const int alpha = rowOfAddress(alphaKey);
    const int bravo = rowOfAddress(bravoKey);
    // Bravo is selected; the right click is on Alpha.
    sendItemNotify(window, serverList, NM_CLICK, bravo);
    SendMessageA(serverList, LVM_SETSELECTIONMARK, 0, bravo);
    setClipboardText("before");

    const LRESULT dismissed =
        answerMenu(VK_ESCAPE, false, [&] { return sendItemNotify(window, serverList, NM_RCLICK, alpha); });
    EXPECT_EQ(dismissed, 0);
    EXPECT_EQ(clipboardText(), "before");
    // The pane shows the right-clicked server, and keeps it after the menu is gone.
    EXPECT_EQ(rowCount(playerList), 3);

    const LRESULT copied = answerMenu('u', true, [&] { return sendItemNotify(window, serverList, NM_RCLICK, alpha); });
    EXPECT_EQ(copied, 1);
    EXPECT_EQ(clipboardText(), "tarnwick://10.0.0.5:27910");
}

TEST_F(MainWindowTest, DispatchResults) {
    EXPECT_EQ(dispatchCommand(0, window, 0), 0);
    EXPECT_EQ(dispatchCommand(12345, window, 0), 0);

    ShowWindow(window, SW_HIDE);
    EXPECT_EQ(dispatchCommand(ID_TRAY_RESTORE, window, 0), 1);
    EXPECT_TRUE(IsWindowVisible(window));

    aboutKey = VK_ESCAPE;
    ModalDriver driver(closeAbout, endAbout);
    EXPECT_EQ(dispatchCommand(IDM_ABOUT, window, 0), 1);
    EXPECT_FALSE(driver.gaveUp());

    EXPECT_EQ(dispatchCommand(IDM_EXIT, window, 0), 1);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(MainWindowTest, AboutBoxClosesWithOkEnterAndEscape) {
    EXPECT_EQ(runAboutBox(window, 0), IDOK);
    EXPECT_NE(aboutStyle & WS_CAPTION, WS_CAPTION) << "the box has no caption";
    EXPECT_EQ(runAboutBox(window, VK_RETURN), IDOK);
    EXPECT_EQ(runAboutBox(window, VK_ESCAPE), IDCANCEL);

    // Other commands leave it open until one of those arrives.
    EXPECT_EQ(aboutDialogProc(window, WM_COMMAND, MAKEWPARAM(105, 0), 0), FALSE);
}

TEST_F(MainWindowTest, TrayMouseMessages) {
    ShowWindow(window, SW_HIDE);
    for (UINT ignored : {UINT(WM_MOUSEMOVE), UINT(WM_LBUTTONUP), UINT(WM_RBUTTONUP), UINT(WM_RBUTTONDBLCLK)}) {
        EXPECT_EQ(SendMessageA(window, trayCallbackMessage, 0, ignored), 0);
        EXPECT_FALSE(IsWindowVisible(window));
    }
    EXPECT_EQ(SendMessageA(window, trayCallbackMessage, 0, WM_LBUTTONDOWN), 1);
    EXPECT_TRUE(IsWindowVisible(window));
    ShowWindow(window, SW_HIDE);
    EXPECT_EQ(SendMessageA(window, trayCallbackMessage, 0, WM_LBUTTONDBLCLK), 1);
    EXPECT_TRUE(IsWindowVisible(window));

    // The right button opens the tray menu; dismissed, it does nothing.
    ShowWindow(window, SW_HIDE);
    EXPECT_EQ(answerMenu(VK_ESCAPE, false, [&] { return SendMessageA(window, trayCallbackMessage, 0, WM_RBUTTONDOWN); }), 0);
    EXPECT_FALSE(IsWindowVisible(window));
}
