// The resources compiled into the program, read back through the same calls that load them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

HINSTANCE module() { return GetModuleHandleA(nullptr); }

std::string loadString(UINT id) {
    char text[100] = "";
    LoadStringA(module(), id, text, sizeof text);
    return text;
}

// Each item of a menu as "text=id", a popup as "text{...}".
std::string describeMenu(HMENU menu) {
    std::string out;
    for (int index = 0; index < GetMenuItemCount(menu); ++index) {
        char text[64] = "";
        GetMenuStringA(menu, static_cast<UINT>(index), text, sizeof text, MF_BYPOSITION);
        if (index) out += ",";
        if (HMENU popup = GetSubMenu(menu, index))
            out += std::string(text) + "{" + describeMenu(popup) + "}";
        else
            out += std::string(text) + "=" + std::to_string(GetMenuItemID(menu, index));
    }
    return out;
}

INT_PTR CALLBACK keepOpen(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

DWORD styleOf(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)); }

TEST(Resources, StringsIconsAndMenus) {
    EXPECT_EQ(loadString(IDS_APP_TITLE), "serverbrowser");
    EXPECT_EQ(loadString(IDC_SERVERBROWSER), "SERVERBROWSER");

    const HICON large = static_cast<HICON>(LoadImageA(module(), MAKEINTRESOURCEA(IDI_SERVERBROWSER), IMAGE_ICON, 32, 32, 0));
    const HICON small = static_cast<HICON>(LoadImageA(module(), MAKEINTRESOURCEA(IDI_SMALL), IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(large, nullptr);
    EXPECT_NE(small, nullptr);
    DestroyIcon(large);
    DestroyIcon(small);

    const HMENU bar = LoadMenuA(module(), MAKEINTRESOURCEA(IDM_MAINMENU));
    EXPECT_EQ(describeMenu(bar),
              "&File{E&xit=105},&List{&Refresh (F5)=32772,&Update (Shift+F5)=32771},&Help{&About ...=104}");
    DestroyMenu(bar);
    const HMENU popups = LoadMenuA(module(), MAKEINTRESOURCEA(IDR_POPUPMENUS));
    EXPECT_EQ(describeMenu(popups),
              "Tray{E&xit=32773,&Restore=32774},"
              "Rightclick{Copy &Address=32775,Copy &URL=32776,Copy &Full Server Info=32777}");
    DestroyMenu(popups);
}

TEST(Resources, AcceleratorsInTableOrder) {
    const HACCEL table = LoadAcceleratorsA(module(), MAKEINTRESOURCEA(IDA_ACCELERATORS));
    ASSERT_NE(table, nullptr);
    std::vector<ACCEL> entries(static_cast<std::size_t>(CopyAcceleratorTableA(table, nullptr, 0)));
    ASSERT_EQ(entries.size(), 4u);
    CopyAcceleratorTableA(table, entries.data(), static_cast<int>(entries.size()));
    const ACCEL expected[] = {
        {FALT | FNOINVERT, '/', IDM_ABOUT},
        {FALT | FNOINVERT, '?', IDM_ABOUT},
        {FVIRTKEY | FNOINVERT, VK_F5, ID_LIST_REFRESH},
        {FVIRTKEY | FNOINVERT | FSHIFT, VK_F5, ID_LIST_UPDATE},
    };
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].fVirt & 0x7F, expected[i].fVirt) << i;  // 0x80 only marks the table's end
        EXPECT_EQ(entries[i].key, expected[i].key) << i;
        EXPECT_EQ(entries[i].cmd, expected[i].cmd) << i;
    }
    DestroyAcceleratorTable(table);
}

TEST(Resources, AboutBoxLayout) {
    const HWND box = CreateDialogParamA(module(), MAKEINTRESOURCEA(IDD_ABOUTBOX), nullptr, keepOpen, 0);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(styleOf(box) & (WS_POPUP | WS_BORDER | WS_CAPTION | WS_SYSMENU), WS_POPUP | WS_BORDER);
    char text[128] = "";
    GetWindowTextA(box, text, sizeof text);
    EXPECT_STREQ(text, "");

    struct Control {
        int id;
        const char* text;
        DWORD style;
    };
    const Control controls[] = {
        {IDC_ABOUT_ICON, nullptr, 0x50000003},
        {IDC_STATIC, "Tarnwick Server Browser Version 0.1", 0x50020080},
        {IDC_STATIC, "(c) Kestrel Forge. All rights reserved.", 0x50020000},
        {IDOK, "OK", 0x50038000},
    };
    HWND child = GetWindow(box, GW_CHILD);
    for (const Control& control : controls) {
        ASSERT_NE(child, nullptr);
        // A dialog template stores ids in 16 bits, so -1 comes back as 0xFFFF.
        EXPECT_EQ(static_cast<WORD>(GetDlgCtrlID(child)), static_cast<WORD>(control.id));
        EXPECT_EQ(styleOf(child), control.style);
        if (control.text) {
            GetWindowTextA(child, text, sizeof text);
            EXPECT_STREQ(text, control.text);
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_NE(SendDlgItemMessageA(box, IDC_ABOUT_ICON, STM_GETICON, 0, 0), 0) << "the icon static shows icon 107";
    DestroyWindow(box);
}

}  // namespace
