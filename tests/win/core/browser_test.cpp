#include "core/browser.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr char gameKey[] = "Software\\Kestrel Forge\\Tarnwick";
constexpr DWORD waitLimitMs = 20000;

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
    if (bytes != nullptr) {
        EXPECT_EQ(RegSetValueExA(key, "INSTDIR", 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes->data()),
                                 static_cast<DWORD>(bytes->size())),
                  ERROR_SUCCESS);
    }
    RegCloseKey(key);
}

void setInstallDir(HKEY root, const std::string& text) {
    const std::string terminated(text.c_str(), text.size() + 1);
    createGameKey(root, &terminated);
}

// Runs findInstallDir on a thread of its own and dismisses every message box it shows (each
// must give the message), so that the test never blocks on one. Returns how many boxes it
// showed, -1 when findInstallDir did not end in time.
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

// The directory found where no message box is expected.
std::string quietInstallDir() {
    EXPECT_EQ(boxesWhileFinding(), 0);
    return installDirectory();
}

class InstallDirTest : public ::testing::Test {
protected:
    void SetUp() override { deleteGameKeys(); }
    void TearDown() override { deleteGameKeys(); }
};

}  // namespace

TEST_F(InstallDirTest, CurrentUserComesFirstAndAKeyWithoutTheValueEndsTheSearch) {
    setInstallDir(HKEY_CURRENT_USER, "C:\\Games\\From User");
    setInstallDir(HKEY_LOCAL_MACHINE, "D:\\Games\\From Machine");
    EXPECT_EQ(quietInstallDir(), "C:\\Games\\From User");

    RegDeleteKeyExA(HKEY_CURRENT_USER, gameKey, KEY_WOW64_32KEY, 0);
    EXPECT_EQ(quietInstallDir(), "D:\\Games\\From Machine");

    createGameKey(HKEY_CURRENT_USER);
    EXPECT_EQ(quietInstallDir(), "");
}

TEST_F(InstallDirTest, NoKeyShowsTheMessageOnceAndUsesTheDefault) {
    EXPECT_EQ(boxesWhileFinding(), 1);
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
