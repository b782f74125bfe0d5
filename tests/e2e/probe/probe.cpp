// Reads what a user sees of another process's window and prints it as one JSON object, so
// that end-to-end tests can check the real program from outside.
//
//   probe state [HWND]            the main window (class SERVERBROWSER unless HWND is given):
//                                 visibility, rectangles, caption buttons, status bar text and
//                                 the three list views with their columns and rows
//   probe windows                 every top-level window: handle, process, class, title
//   probe children HWND           the child windows of one window
//   probe post HWND MSG WP LP     PostMessageA; numbers in decimal or 0x hex
//   probe send HWND MSG WP LP     SendMessageA, printing its result
//   probe clipboard               the clipboard's CF_TEXT, or null
//
// Texts are 8-bit ANSI: each byte is printed as the character of the same number
// (\u00XX above 0x7E), so a reader gets the bytes back by encoding the text as Latin-1.
// Screen coordinates are those of the X screen. Exit code 0 on success, 1 when the window
// is not there, 2 on a usage error.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string quote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c > 0x7E) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string number(long long value) { return std::to_string(value); }

std::string handleText(HWND window) { return number(static_cast<long long>(reinterpret_cast<INT_PTR>(window))); }

std::string rectJson(const RECT& r) {
    return "{\"x\":" + number(r.left) + ",\"y\":" + number(r.top) + ",\"width\":" + number(r.right - r.left) +
           ",\"height\":" + number(r.bottom - r.top) + "}";
}

std::string pointJson(POINT p) { return "{\"x\":" + number(p.x) + ",\"y\":" + number(p.y) + "}"; }

std::string boolean(bool value) { return value ? "true" : "false"; }

// A block of memory in the inspected process: list-view and header messages take pointers
// that the control uses in its own address space.
class RemoteBlock {
public:
    RemoteBlock(HANDLE process, std::size_t size) : process_(process), size_(size) {
        address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBlock() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    bool valid() const { return address_ != nullptr; }
    char* at(std::size_t offset) const { return static_cast<char*>(address_) + offset; }
    LPARAM param(std::size_t offset = 0) const { return reinterpret_cast<LPARAM>(at(offset)); }
    bool write(std::size_t offset, const void* data, std::size_t size) const {
        SIZE_T done = 0;
        return offset + size <= size_ && WriteProcessMemory(process_, at(offset), data, size, &done) && done == size;
    }
    bool read(std::size_t offset, void* data, std::size_t size) const {
        SIZE_T done = 0;
        return offset + size <= size_ && ReadProcessMemory(process_, at(offset), data, size, &done) && done == size;
    }

private:
    HANDLE process_;
    std::size_t size_;
    void* address_ = nullptr;
};

constexpr std::size_t textSize = 1024;
constexpr std::size_t structOffset = 0;
constexpr std::size_t textOffset = 256;  // after the LVITEMA / LVCOLUMNA / RECT
constexpr std::size_t blockSize = textOffset + textSize;

std::string remoteText(const RemoteBlock& block) {
    std::vector<char> text(textSize, '\0');
    block.read(textOffset, text.data(), textSize);
    text.back() = '\0';
    return text.data();
}

std::string itemText(HWND list, const RemoteBlock& block, int row, int column) {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = block.at(textOffset);
    item.cchTextMax = static_cast<int>(textSize);
    const char empty = '\0';
    block.write(textOffset, &empty, 1);
    block.write(structOffset, &item, sizeof item);
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), block.param(structOffset));
    return remoteText(block);
}

std::string columnTitle(HWND list, const RemoteBlock& block, int column) {
    LVCOLUMNA info = {};
    info.mask = LVCF_TEXT;
    info.pszText = block.at(textOffset);
    info.cchTextMax = static_cast<int>(textSize);
    const char empty = '\0';
    block.write(textOffset, &empty, 1);
    block.write(structOffset, &info, sizeof info);
    if (!SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(column), block.param(structOffset))) return {};
    return remoteText(block);
}

bool remoteRect(HWND control, UINT message, WPARAM wParam, LONG left, const RemoteBlock& block, RECT& rect) {
    rect = {};
    rect.left = left;
    block.write(structOffset, &rect, sizeof rect);
    if (!SendMessageA(control, message, wParam, block.param(structOffset))) return false;
    return block.read(structOffset, &rect, sizeof rect);
}

RECT toScreen(HWND control, RECT rect) {
    MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string listJson(HWND list, HWND parent, const RemoteBlock& block) {
    RECT screen = {};
    GetWindowRect(list, &screen);
    RECT inParent = screen;
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&inParent), 2);
    RECT client = {};
    GetClientRect(list, &client);

    const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const int columnCount = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    std::string columns;
    for (int column = 0; column < columnCount; ++column) {
        RECT item = {};
        remoteRect(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), 0, block, item);
        if (column) columns += ",";
        columns += "{\"title\":" + quote(columnTitle(list, block, column)) +
                   ",\"width\":" + number(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0)) +
                   ",\"screen\":" + rectJson(toScreen(header, item)) + "}";
    }

    const int rowCount = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    std::string rows;
    for (int row = 0; row < rowCount; ++row) {
        std::string cells;
        for (int column = 0; column < columnCount; ++column) {
            if (column) cells += ",";
            cells += quote(itemText(list, block, row, column));
        }
        RECT bounds = {};
        const bool shown = remoteRect(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), LVIR_BOUNDS, block, bounds);
        if (row) rows += ",";
        rows += "{\"cells\":[" + cells + "]";
        if (shown) rows += ",\"screen\":" + rectJson(toScreen(list, bounds));
        rows += "}";
    }

    const int selected = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return "{\"handle\":" + handleText(list) + ",\"rect\":" + rectJson(inParent) + ",\"screen\":" + rectJson(screen) +
           ",\"client\":" + rectJson(client) + ",\"visible\":" + boolean(IsWindowVisible(list)) +
           ",\"style\":" + number(GetWindowLongA(list, GWL_STYLE) & 0xFFFFFFFFu) +
           ",\"extendedListStyle\":" + number(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)) +
           ",\"columns\":[" + columns + "],\"rows\":[" + rows + "],\"selected\":" + number(selected) +
           ",\"topIndex\":" + number(SendMessageA(list, LVM_GETTOPINDEX, 0, 0)) + "}";
}

// The middle of a caption button on the screen, found by asking the window what lies under
// the points of its caption row; (-1, -1) when it has no such button.
POINT captionButton(HWND window, LRESULT hit) {
    RECT frame = {};
    GetWindowRect(window, &frame);
    const int captionTop = frame.top + GetSystemMetrics(SM_CYFRAME);
    const int captionBottom = captionTop + GetSystemMetrics(SM_CYCAPTION);
    const int middleY = (captionTop + captionBottom) / 2;
    auto hits = [&](int x, int y) { return SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == hit; };
    for (int x = frame.right - 1; x > frame.left; --x) {
        if (!hits(x, middleY)) continue;
        int left = x;
        while (left > frame.left && hits(left - 1, middleY)) --left;
        const int middleX = (left + x) / 2;
        int top = middleY;
        while (top > frame.top && hits(middleX, top - 1)) --top;
        int bottom = middleY;
        while (bottom < captionBottom && hits(middleX, bottom + 1)) ++bottom;
        return POINT{middleX, (top + bottom) / 2};
    }
    return POINT{-1, -1};
}

struct ListsByPlace {
    std::vector<HWND> lists;
    HWND statusBar = nullptr;
};

BOOL CALLBACK collectChild(HWND child, LPARAM param) {
    auto* found = reinterpret_cast<ListsByPlace*>(param);
    char className[64] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, WC_LISTVIEWA) == 0) found->lists.push_back(child);
    if (lstrcmpiA(className, STATUSCLASSNAMEA) == 0) found->statusBar = child;
    return TRUE;
}

std::string windowText(HWND window) {
    char text[textSize] = "";
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    text[sizeof text - 1] = '\0';
    return text;
}

int printState(HWND window) {
    if (!window || !IsWindow(window)) {
        std::puts("{\"found\":false}");
        return 1;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                                 FALSE, processId);
    if (!process) {
        std::puts("{\"found\":false,\"error\":\"cannot open the process\"}");
        return 1;
    }
    RemoteBlock block(process, blockSize);

    ListsByPlace children;
    EnumChildWindows(window, collectChild, reinterpret_cast<LPARAM>(&children));
    // The three views carry no ids; tell them apart by their columns: 5 server, 3 player, 2 info.
    HWND byColumns[6] = {};
    for (HWND list : children.lists) {
        const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
        const int count = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
        if (count >= 0 && count < 6) byColumns[count] = list;
    }

    RECT frame = {};
    RECT client = {};
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    POINT clientOrigin = {0, 0};
    ClientToScreen(window, &clientOrigin);

    std::string out = "{\"found\":true,\"handle\":" + handleText(window) + ",\"pid\":" + number(processId) +
                      ",\"title\":" + quote(windowText(window)) + ",\"visible\":" + boolean(IsWindowVisible(window)) +
                      ",\"iconic\":" + boolean(IsIconic(window)) + ",\"zoomed\":" + boolean(IsZoomed(window)) +
                      ",\"style\":" + number(GetWindowLongA(window, GWL_STYLE) & 0xFFFFFFFFu) +
                      ",\"foreground\":" + boolean(GetForegroundWindow() == window) +
                      ",\"frame\":" + rectJson(frame) + ",\"client\":" + rectJson(client) +
                      ",\"clientOrigin\":" + pointJson(clientOrigin) +
                      ",\"minimizeButton\":" + pointJson(captionButton(window, HTMINBUTTON)) +
                      ",\"closeButton\":" + pointJson(captionButton(window, HTCLOSE));
    if (children.statusBar) {
        RECT status = {};
        GetWindowRect(children.statusBar, &status);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&status), 2);
        out += ",\"statusBar\":{\"text\":" + quote(windowText(children.statusBar)) + ",\"rect\":" + rectJson(status) +
               ",\"id\":" + number(GetDlgCtrlID(children.statusBar)) + ",\"style\":" +
               number(GetWindowLongA(children.statusBar, GWL_STYLE) & 0xFFFFFFFFu) + "}";
    }
    const char* names[] = {"infoList", "playerList", "serverList"};
    const int counts[] = {2, 3, 5};
    for (int i = 0; i < 3; ++i) {
        if (byColumns[counts[i]] && block.valid())
            out += ",\"" + std::string(names[i]) + "\":" + listJson(byColumns[counts[i]], window, block);
    }
    out += "}";
    std::puts(out.c_str());
    CloseHandle(process);
    return 0;
}

std::string windowJson(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[256] = "";
    GetClassNameA(window, className, sizeof className);
    RECT frame = {};
    GetWindowRect(window, &frame);
    return "{\"handle\":" + handleText(window) + ",\"pid\":" + number(processId) + ",\"class\":" + quote(className) +
           ",\"title\":" + quote(windowText(window)) + ",\"visible\":" + boolean(IsWindowVisible(window)) +
           ",\"style\":" + number(GetWindowLongA(window, GWL_STYLE) & 0xFFFFFFFFu) +
           ",\"rect\":" + rectJson(frame) + "}";
}

BOOL CALLBACK collectWindow(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

int printWindows(HWND parent) {
    std::vector<HWND> windows;
    if (parent)
        EnumChildWindows(parent, collectWindow, reinterpret_cast<LPARAM>(&windows));
    else
        EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&windows));
    std::string out = "{\"windows\":[";
    for (std::size_t i = 0; i < windows.size(); ++i) out += (i ? "," : "") + windowJson(windows[i]);
    std::puts((out + "]}").c_str());
    return 0;
}

int printClipboard() {
    std::string out = "{\"text\":null}";
    for (int attempt = 0; attempt < 20 && !OpenClipboard(nullptr); ++attempt) Sleep(50);
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* text = static_cast<const char*>(GlobalLock(data))) {
            out = "{\"text\":" + quote(text) + "}";
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    std::puts(out.c_str());
    return 0;
}

unsigned long long parseNumber(const char* text) { return std::strtoull(text, nullptr, 0); }

HWND parseHandle(const char* text) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(parseNumber(text))); }

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "state") return printState(argc > 2 ? parseHandle(argv[2]) : FindWindowA("SERVERBROWSER", nullptr));
    if (command == "windows") return printWindows(nullptr);
    if (command == "children" && argc > 2) return printWindows(parseHandle(argv[2]));
    if (command == "clipboard") return printClipboard();
    if ((command == "post" || command == "send") && argc > 5) {
        const HWND window = parseHandle(argv[2]);
        const UINT message = static_cast<UINT>(parseNumber(argv[3]));
        const WPARAM wParam = static_cast<WPARAM>(parseNumber(argv[4]));
        const LPARAM lParam = static_cast<LPARAM>(parseNumber(argv[5]));
        if (command == "post") {
            const BOOL posted = PostMessageA(window, message, wParam, lParam);
            std::printf("{\"ok\":%s}\n", posted ? "true" : "false");
            return posted ? 0 : 1;
        }
        DWORD_PTR result = 0;
        const LRESULT sent = SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result);
        std::printf("{\"ok\":%s,\"result\":%lld}\n", sent ? "true" : "false", static_cast<long long>(result));
        return sent ? 0 : 1;
    }
    std::fputs("usage: probe state [HWND] | windows | children HWND | clipboard | post|send HWND MSG WP LP\n", stderr);
    return 2;
}
