#include "core/browser.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr char gameKey[] = "Software\\Kestrel Forge\\Tarnwick";
constexpr char makerKey[] = "Software\\Kestrel Forge";
constexpr char boxCaption[] = "Tarnwick Server Browser Error";
constexpr DWORD waitLimitMs = 20000;

struct SavedRoot {
    explicit SavedRoot(HKEY root) : root(root) {}
    HKEY root;
    bool hadValue = false;
    std::string value;
};

void deleteGameKey(HKEY root) {
    RegDeleteKeyExA(root, gameKey, KEY_WOW64_32KEY, 0);
    RegDeleteKeyExA(root, makerKey, KEY_WOW64_32KEY, 0);
}

// Creates the key under root, with INSTDIR holding bytes (none: the key without the value).
void createGameKey(HKEY root, const std::string* bytes = nullptr, DWORD type = REG_SZ) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, gameKey, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (bytes != nullptr) {
        EXPECT_EQ(RegSetValueExA(key, "INSTDIR", 0, type, reinterpret_cast<const BYTE*>(bytes->data()),
                                 static_cast<DWORD>(bytes->size())),
                  ERROR_SUCCESS);
    }
    RegCloseKey(key);
}

void setInstallDir(HKEY root, const std::string& text) {
    const std::string terminated(text.c_str(), text.size() + 1);
    createGameKey(root, &terminated);
}

BOOL CALLBACK findBoxText(HWND child, LPARAM found) {
    char text[256] = "";
    GetWindowTextA(child, text, sizeof text);
    if (std::string(text) == "Tarnwick installation directory not found.") *reinterpret_cast<bool*>(found) = true;
    return TRUE;
}

struct FindResult {
    bool finished = false;
    int boxes = 0;
    bool boxTextSeen = false;
};

DWORD WINAPI findInstallDirThread(void*) {
    findInstallDir();
    return 0;
}

// Runs findInstallDir on a thread of its own and dismisses every message box it shows, so
// that the test never blocks on one.
FindResult runFindInstallDir() {
    FindResult result;
    HANDLE thread = CreateThread(nullptr, 0, findInstallDirThread, nullptr, 0, nullptr);
    const DWORD start = GetTickCount();
    HWND dismissed = nullptr;
    while (GetTickCount() - start < waitLimitMs) {
        if (WaitForSingleObject(thread, 10) == WAIT_OBJECT_0) {
            result.finished = true;
            break;
        }
        HWND box = FindWindowA("#32770", boxCaption);
        if (box != nullptr && box != dismissed) {
            ++result.boxes;
            EnumChildWindows(box, findBoxText, reinterpret_cast<LPARAM>(&result.boxTextSeen));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            dismissed = box;
        }
    }
    CloseHandle(thread);
    return result;
}

class InstallDirTest : public ::testing::Test {
protected:
    // The test prefix's registry may hold the game's keys; keep them aside and put them back.
    void SetUp() override {
        for (SavedRoot& saved : roots_) {
            HKEY key = nullptr;
            if (RegOpenKeyExA(saved.root, gameKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) == ERROR_SUCCESS) {
                char value[1024] = "";
                DWORD size = sizeof value - 1;
                saved.hadValue = RegQueryValueExA(key, "INSTDIR", nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                                                  &size) == ERROR_SUCCESS;
                saved.value = value;
                RegCloseKey(key);
            }
            deleteGameKey(saved.root);
        }
    }
    void TearDown() override {
        for (const SavedRoot& saved : roots_) {
            deleteGameKey(saved.root);
            if (saved.hadValue) setInstallDir(saved.root, saved.value);
        }
    }

    // Finds the directory where no message box is expected.
    static std::string quietInstallDir() {
        const FindResult result = runFindInstallDir();
        EXPECT_TRUE(result.finished);
        EXPECT_EQ(result.boxes, 0);
        return installDirectory();
    }

    SavedRoot roots_[2] = {SavedRoot(HKEY_CURRENT_USER), SavedRoot(HKEY_LOCAL_MACHINE)};
};

}  // namespace

TEST_F(InstallDirTest, CurrentUserComesFirstAndAKeyWithoutTheValueEndsTheSearch) {
    setInstallDir(HKEY_CURRENT_USER, "C:\\Games\\From User");
    setInstallDir(HKEY_LOCAL_MACHINE, "D:\\Games\\From Machine");
    EXPECT_EQ(quietInstallDir(), "C:\\Games\\From User");

    deleteGameKey(HKEY_CURRENT_USER);
    EXPECT_EQ(quietInstallDir(), "D:\\Games\\From Machine");

    createGameKey(HKEY_CURRENT_USER);
    EXPECT_EQ(quietInstallDir(), "");
}

TEST_F(InstallDirTest, NoKeyShowsTheMessageOnceAndUsesTheDefault) {
    const FindResult result = runFindInstallDir();
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.boxes, 1);
    EXPECT_TRUE(result.boxTextSeen);
    EXPECT_STREQ(installDirectory(), "c:\\games\\tarnwick");
}

TEST_F(InstallDirTest, ValuesThatDoNotFitLeaveATerminatedText) {
    const std::string longest(255, 'd');
    setInstallDir(HKEY_CURRENT_USER, longest);
    EXPECT_EQ(quietInstallDir(), longest);

    // Cut, the path would name another directory: the directory stays empty instead.
    for (std::size_t length : {256u, 300u}) {
        setInstallDir(HKEY_CURRENT_USER, std::string(length, 'd'));
        EXPECT_EQ(quietInstallDir(), "") << length;
    }

    // Stored without a terminating zero: the characters are used when they fit.
    const std::string unterminated = "C:\\Tarnwick";
    createGameKey(HKEY_CURRENT_USER, &unterminated);
    EXPECT_EQ(quietInstallDir(), unterminated);
    const std::string unterminatedTooLong(256, 'e');
    createGameKey(HKEY_CURRENT_USER, &unterminatedTooLong);
    EXPECT_EQ(quietInstallDir(), "");
}
