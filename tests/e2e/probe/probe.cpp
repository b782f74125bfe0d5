// Reads what a user sees of another process's windows and prints it as one JSON object, so
// that end-to-end tests can check the real program from outside.
//
//   probe state            the main window (class SERVERBROWSER): visibility, client area,
//                          status bar and the three list views with their columns and rows,
//                          each with its accessible name, its selected, focused, marked and
//                          first visible rows, its scroll bar's thumb on screen, and which of
//                          them has the focus; the ANSI code page ("acp")
//   probe state in-view    the same with only the rows each list shows, even in part
//   probe windows          every top-level window and its children: handle, class, title,
//                          visibility, place
//   probe row-message      sends the main window its private row message with a row update
//                          of address 127.9.9.9:9 placed in its memory, as any program could
//   probe taskbar-restart  removes the main window's tray icon and sends what a new taskbar sends
//   probe command ID       posts the main window the command ID, as its menus would
//   probe dpi D X Y W H    tells the main window it is now on a screen of D DPI, with the place
//                          X, Y, W x H suggested for it, as Windows does (at its own DPI: a resize)
//
// Texts are 8-bit ANSI, each byte written as the character of the same number. Screen
// coordinates are those of the X screen. Exit code 0 on success, 1 when the window is not there.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/server_table.h"
#include "ui/app_messages.h"
#include "ui/server_rows.h"

namespace {

constexpr std::size_t textSize = 1024;

// A JSON string literal for bytes: each byte is the character of the same number, and those
// outside printable ASCII are written as \u00XX, so a reader gets the bytes back.
std::string jsonQuote(const std::string& bytes) {
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c == '"' || c == '\\') out += '\\';
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        }
    }
    return out + "\"";
}

std::string number(long long value) { return std::to_string(value); }

std::string rectJson(const RECT& r) {
    return "{\"x\":" + number(r.left) + ",\"y\":" + number(r.top) + ",\"width\":" + number(r.right - r.left) +
           ",\"height\":" + number(r.bottom - r.top) + "}";
}

const char* boolean(bool value) { return value ? "true" : "false"; }

RECT toScreen(HWND control, RECT rect) {
    MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string windowText(HWND window) {
    char text[textSize] = "";
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    text[sizeof text - 1] = '\0';
    return text;
}

// The process of a window, opened for its memory; null when there is no such window.
HANDLE openProcessOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return window ? OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId) : nullptr;
}

// List-view and header messages take pointers that the control uses in its own address
// space: a block of memory in the window's process holds the structure (at its start) and
// the text buffer (after it).
class Remote {
public:
    explicit Remote(HWND window)
        : process_(openProcessOf(window)),
          base_(process_ ? static_cast<char*>(VirtualAllocEx(process_, nullptr, textOffset + textSize,
                                                             MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))
                         : nullptr) {}
    ~Remote() {
        if (base_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    Remote(const Remote&) = delete;
    Remote& operator=(const Remote&) = delete;

    bool valid() const { return base_ != nullptr; }
    char* base() const { return base_; }
    char* text() const { return base_ + textOffset; }

    // Sends the message with a copy of data there and copies the control's answer back.
    template <typename T>
    LRESULT send(HWND control, UINT message, WPARAM wParam, T& data) const {
        const char empty = '\0';
        WriteProcessMemory(process_, text(), &empty, 1, nullptr);
        WriteProcessMemory(process_, base_, &data, sizeof data, nullptr);
        const LRESULT result = SendMessageA(control, message, wParam, reinterpret_cast<LPARAM>(base_));
        ReadProcessMemory(process_, base_, &data, sizeof data, nullptr);
        return result;
    }

    std::string readText() const {
        std::vector<char> buffer(textSize, '\0');
        ReadProcessMemory(process_, text(), buffer.data(), textSize - 1, nullptr);
        return buffer.data();
    }

private:
    static constexpr std::size_t textOffset = 256;  // after the largest structure
    HANDLE process_;
    char* base_;
};

// The interface id, spelled out: a static build links IID_IAccessible as a thunk, not as data.
constexpr IID accessibleId = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// What a screen reader says for the window: its client object's name.
std::string accessibleName(HWND window) {
    IAccessible* object = nullptr;
    VARIANT self = {};  // the object itself, CHILDID_SELF
    self.vt = VT_I4;
    BSTR name = nullptr;
    char text[textSize] = "";
    if (SUCCEEDED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), accessibleId,
                                             reinterpret_cast<void**>(&object)))) {
        if (object->get_accName(self, &name) == S_OK && name)
            WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text, nullptr, nullptr);
        SysFreeString(name);
        object->Release();
    }
    return text;
}

std::string listJson(HWND list, HWND parent, const Remote& remote, bool inViewOnly) {
    RECT screen = {};
    GetWindowRect(list, &screen);
    RECT inParent = screen;
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&inParent), 2);
    RECT client = {};
    GetClientRect(list, &client);

    const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int columnCount = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    std::string columns;
    for (int column = 0; column < columnCount; ++column) {
        LVCOLUMNA info = {};
        info.mask = LVCF_TEXT;
        info.pszText = remote.text();
        info.cchTextMax = static_cast<int>(textSize);
        remote.send(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column), info);
        const std::string title = remote.readText();
        RECT item = {};
        remote.send(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), item);
        columns += std::string(column ? "," : "") + "{\"title\":" + jsonQuote(title) +
                   ",\"width\":" + number(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0)) +
                   ",\"screen\":" + rectJson(toScreen(header, item)) + "}";
    }

    std::string rows, selected;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    const int top = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
    const int first = inViewOnly ? top : 0;
    const int end = inViewOnly ? std::min(count, top + static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0)) + 1) : count;
    for (int row = first; row < end; ++row) {
        if (SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED))
            selected += (selected.empty() ? "" : ",") + number(row);
        std::string cells;
        for (int column = 0; column < columnCount; ++column) {
            // LVM_GETITEMA: a virtual list need not answer LVM_GETITEMTEXT.
            LVITEMA item = {};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.iSubItem = column;
            item.pszText = remote.text();
            item.cchTextMax = static_cast<int>(textSize);
            remote.send(list, LVM_GETITEMA, 0, item);
            cells += (column ? "," : "") + jsonQuote(remote.readText());
        }
        RECT bounds = {};
        bounds.left = LVIR_BOUNDS;
        remote.send(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), bounds);
        rows += std::string(row > first ? "," : "") + "{\"cells\":[" + cells + "],\"screen\":" + rectJson(toScreen(list, bounds)) + "}";
    }
    // Where the vertical scroll bar's thumb lies while the list shows its first rows: below the
    // up arrow, right of the client area; null without the scroll bar. Worked out from the
    // system's metrics: Wine answers GetScrollBarInfo only inside the list's own process.
    std::string thumb = "null";
    if (GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL) {
        const RECT clientOnScreen = toScreen(list, client);
        const int arrow = GetSystemMetrics(SM_CYVSCROLL);
        thumb = rectJson({clientOnScreen.right, clientOnScreen.top + arrow, clientOnScreen.right + GetSystemMetrics(SM_CXVSCROLL),
                          clientOnScreen.top + arrow + GetSystemMetrics(SM_CYVTHUMB)});
    }
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(list, nullptr), &thread);
    return "{\"name\":" + jsonQuote(accessibleName(list)) + ",\"focused\":" + boolean(thread.hwndFocus == list) + ",\"selected\":[" + selected +
           "],\"count\":" + number(count) + ",\"top\":" + number(top) +
           ",\"focusedRow\":" + number(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)) +
           ",\"mark\":" + number(SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0)) +
           ",\"thumb\":" + thumb + ",\"hscroll\":" + boolean((GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL) != 0) +
           ",\"rect\":" + rectJson(inParent) + ",\"screen\":" + rectJson(screen) + ",\"client\":" + rectJson(client) +
           ",\"columns\":[" + columns + "],\"rows\":[" + rows + "]}";
}

BOOL CALLBACK collectWindow(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

std::string classOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

int printState(bool inViewOnly) {
    const HWND window = FindWindowA("SERVERBROWSER", nullptr);
    const Remote remote(window);
    if (!remote.valid()) {
        std::puts("{\"found\":false}");
        return 1;
    }
    RECT client = {};
    GetClientRect(window, &client);
    std::string out = std::string("{\"found\":true,\"acp\":") + number(GetACP()) + ",\"visible\":" +
                      boolean(IsWindowVisible(window)) + ",\"iconic\":" + boolean(IsIconic(window)) + ",\"client\":" + rectJson(client);

    // The three views carry no ids; they are told apart by their columns: 5 server, 3 player, 2 info.
    std::vector<HWND> children;
    EnumChildWindows(window, collectWindow, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        const std::string name = classOf(child);
        if (lstrcmpiA(name.c_str(), STATUSCLASSNAMEA) == 0) {
            RECT status = {};
            GetWindowRect(child, &status);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&status), 2);
            out += ",\"statusBar\":{\"text\":" + jsonQuote(windowText(child)) +
                   ",\"name\":" + jsonQuote(accessibleName(child)) + ",\"rect\":" + rectJson(status) + "}";
        } else if (lstrcmpiA(name.c_str(), WC_LISTVIEWA) == 0) {
            const HWND header = reinterpret_cast<HWND>(SendMessageA(child, LVM_GETHEADER, 0, 0));
            const LRESULT columns = SendMessageA(header, HDM_GETITEMCOUNT, 0, 0);
            const char* view = columns == 5 ? "serverList" : columns == 3 ? "playerList" : "infoList";
            out += ",\"" + std::string(view) + "\":" + listJson(child, window, remote, inViewOnly);
        }
    }
    std::puts((out + "}").c_str());
    return 0;
}

int printWindows() {
    std::vector<HWND> topLevel, windows;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&topLevel));
    for (HWND window : topLevel) {
        windows.push_back(window);
        EnumChildWindows(window, collectWindow, reinterpret_cast<LPARAM>(&windows));
    }
    std::string out = "{\"windows\":[";
    for (std::size_t i = 0; i < windows.size(); ++i) {
        RECT frame = {};
        GetWindowRect(windows[i], &frame);
        out += std::string(i ? "," : "") + "{\"handle\":" + number(reinterpret_cast<INT_PTR>(windows[i])) +
               ",\"class\":" + jsonQuote(classOf(windows[i])) + ",\"title\":" + jsonQuote(windowText(windows[i])) +
               ",\"visible\":" + boolean(IsWindowVisible(windows[i])) + ",\"rect\":" + rectJson(frame) + "}";
    }
    std::puts((out + "]}").c_str());
    return 0;
}

// A row update placed in the main window's memory, as any program could: a copy of these objects
// with each pointer moved to its target in the copy (a short string's first member points into it).
int sendRowMessage() {
    const HWND window = FindWindowA("SERVERBROWSER", nullptr);
    const Remote remote(window);
    if (!remote.valid()) return 1;
    struct Forged {
        ServerRowUpdate update;
        std::string key = "127.9.9.9:9";
        ServerRowFields fields{"forged", "forged", 1, 2, 3};
    } forged;
    forged.update = {&forged.key, &forged.fields};
    alignas(Forged) char copy[sizeof forged];
    std::memcpy(copy, static_cast<void*>(&forged), sizeof forged);
    const char* const local = reinterpret_cast<const char*>(&forged);
    for (const void* at : std::initializer_list<const void*>{&forged.update.key, &forged.update.fields, &forged.key,
                                                            &forged.fields.hostName, &forged.fields.mapName}) {
        char* const moved = remote.base() + (*static_cast<const char* const*>(at) - local);
        std::memcpy(copy + (static_cast<const char*>(at) - local), &moved, sizeof moved);
    }
    remote.send(window, serverRowMessage, 0, copy);
    std::puts("{\"sent\":true}");
    return 0;
}

int restartTaskbar() {
    const HWND window = FindWindowA("SERVERBROWSER", nullptr);
    NOTIFYICONDATAA icon = {};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = window;
    const bool removed = window && Shell_NotifyIconA(NIM_DELETE, &icon);
    if (removed) SendMessageTimeoutA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG, 5000,
                                     nullptr);
    std::puts(removed ? "{\"removed\":true}" : "{\"removed\":false}");
    return removed ? 0 : 1;
}

// The suggested place travels in the program's own memory, as it does when Windows sends it.
int sendDpiChanged(int dpi, RECT suggested) {
    const HWND window = FindWindowA("SERVERBROWSER", nullptr);
    const Remote remote(window);
    if (!remote.valid()) return 1;
    remote.send(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), suggested);
    std::puts("{\"sent\":true}");
    return 0;
}

}  // namespace

int postCommand(int id) {
    const HWND window = FindWindowA("SERVERBROWSER", nullptr);
    const bool posted = window && PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    std::puts(posted ? "{\"posted\":true}" : "{\"posted\":false}");
    return posted ? 0 : 1;
}

int main(int argc, char** argv) {
    CoInitialize(nullptr);
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "state") return printState(argc > 2 && std::string(argv[2]) == "in-view");
    if (command == "windows") return printWindows();
    if (command == "row-message") return sendRowMessage();
    if (command == "taskbar-restart") return restartTaskbar();
    if (command == "command" && argc > 2) return postCommand(std::atoi(argv[2]));
    if (command == "dpi" && argc > 6) {
        const int x = std::atoi(argv[3]), y = std::atoi(argv[4]);
        return sendDpiChanged(std::atoi(argv[2]), RECT{x, y, x + std::atoi(argv[5]), y + std::atoi(argv[6])});
    }
    std::fputs("usage: see probe.cpp\n", stderr);
    return 2;
}
