#include "ui/commands.h"

#include <cstring>

#include "resources/resource.h"
#include "window_fixture.h"

using namespace testui;

namespace {

constexpr int alpha = 0;
constexpr int bravo = 1;

void showAlphaAndBravo() {
    showServers({
        {"10.0.0.5:27910", "Alpha", "pond", 0, 16, 45, {{"a", 1, 1}, {"b", 2, 2}, {"c", 3, 3}}},
        {"127.0.20.2:27911", "", "", 0, 0, -7},
    });
}

std::string clipboardText() {
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

// Leaves the text on the clipboard together with a format of this test's own.
UINT putTextAndMarker(const std::string& text) {
    const UINT marker = RegisterClipboardFormatA("ServerBrowserTestMarker");
    if (!OpenClipboard(nullptr)) return 0;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    SetClipboardData(marker, GlobalAlloc(GMEM_MOVEABLE, 4));
    CloseClipboard();
    return marker;
}

// The About box's answer: what it receives once it is open (VK_RETURN, VK_ESCAPE, or 0 to
// press its OK button).
UINT aboutKey = 0;
bool aboutAnswered = false;
int aboutTicks = 0;

// Runs on this thread while the box's modal loop holds it: timer messages are still
// dispatched there. After 200 ticks the box is ended with 99 whatever happened, so a test
// can never wait for ever on it.
void CALLBACK answerAbout(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = GetActiveWindow();
    char className[16] = "";
    GetClassNameA(box, className, sizeof className);
    if (std::strcmp(className, "#32770") != 0) return;
    if (++aboutTicks > 200) {
        EndDialog(box, 99);
    } else if (!aboutAnswered) {
        aboutAnswered = true;
        const HWND ok = GetDlgItem(box, IDOK);
        if (aboutKey == 0)
            PostMessageA(ok, BM_CLICK, 0, 0);
        else
            PostMessageA(GetFocus() ? GetFocus() : ok, WM_KEYDOWN, aboutKey, 0);
    }
}

INT_PTR runAboutBox(HWND owner, UINT key) {
    aboutKey = key;
    aboutAnswered = false;
    aboutTicks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 25, answerAbout);
    const INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUTBOX), owner, aboutDialogProc, 0);
    KillTimer(nullptr, timer);
    return result;
}

TEST_F(WindowTest, CopyCommandsReplaceTheClipboardWithTheRowTexts) {
    showAlphaAndBravo();
    const UINT marker = putTextAndMarker("before");
    ASSERT_NE(marker, 0u);
    EXPECT_EQ(dispatchCommand(ID_ROW_COPYADDRESS, window, alpha), 1);
    EXPECT_EQ(clipboardText(), "10.0.0.5:27910");
    EXPECT_FALSE(IsClipboardFormatAvailable(marker));
    EXPECT_EQ(dispatchCommand(ID_ROW_COPYURL, window, alpha), 1);
    EXPECT_EQ(clipboardText(), "tarnwick://10.0.0.5:27910");
    EXPECT_EQ(dispatchCommand(ID_ROW_COPYFULLINFO, window, alpha), 1);
    EXPECT_EQ(clipboardText(), "10.0.0.5:27910 Alpha 45 pond 3 / 16");
    // Empty name and map keep their blanks.
    EXPECT_EQ(dispatchCommand(ID_ROW_COPYFULLINFO, window, bravo), 1);
    EXPECT_EQ(clipboardText(), "127.0.20.2:27911  -7  0 / 0");
}

TEST_F(WindowTest, NothingIsCopiedForNoRowAnUnknownKindOrABusyClipboard) {
    showAlphaAndBravo();
    ASSERT_NE(putTextAndMarker("before"), 0u);
    EXPECT_EQ(copyServerText(window, -1, 0), 0);
    EXPECT_EQ(copyServerText(window, rowCount(serverList), 2), 0);
    EXPECT_EQ(copyServerText(window, alpha, 3), 0);
    EXPECT_EQ(clipboardText(), "before");

    // Another thread holds the clipboard open: the copy gives up and the text stays.
    std::atomic<bool> opened{false};
    const HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        opened = OpenClipboard(nullptr) != FALSE;
        WaitForSingleObject(release, 10000);
        if (opened) CloseClipboard();
    });
    for (int i = 0; i < 400 && !opened; ++i) Sleep(5);
    EXPECT_TRUE(opened);
    if (opened) {
        EXPECT_EQ(copyServerText(window, alpha, 0), 0);
    }
    SetEvent(release);
    holder.join();
    CloseHandle(release);
    EXPECT_EQ(clipboardText(), "before");
}

TEST_F(WindowTest, AboutBoxClosesWithOkEnterAndEscape) {
    EXPECT_EQ(runAboutBox(window, 0), IDOK);
    EXPECT_EQ(runAboutBox(window, VK_RETURN), IDOK);
    EXPECT_EQ(runAboutBox(window, VK_ESCAPE), IDCANCEL);
    // Other commands leave it open until one of those arrives.
    EXPECT_EQ(aboutDialogProc(window, WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0), FALSE);
}

}  // namespace
