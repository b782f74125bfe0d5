// How long the server list takes to take in replies and to sort, at 1,000 and 5,000 rows,
// painting included: the rounds end when the last change is painted, a sort when its new
// order is. Then how long a click on a row keeps the window thread busy filling the details
// pane, painting included, for an ordinary server and for one at the info-variable cap.
// Runs the real window under Wine (or Windows) and prints its figures; it asserts nothing.
//
//   row_bench [rows...]        default: 1000 5000
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "core/server_table.h"
#include "core/view.h"
#include "protocol/status_reply.h"
#include "ui/details.h"
#include "ui/app_messages.h"
#include "ui/main_window.h"
#include "ui/window_state.h"
#include "ui/server_rows.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

ServerRowFields fieldsFor(int index, int round) {
    ServerRowFields fields;
    fields.hostName = "Server " + std::to_string(index * 7919 % 10007);
    fields.mapName = "map" + std::to_string((index + round) % 17);
    fields.playerCount = (index * 31 + round) % 33;
    fields.maxClients = 32;
    fields.ping = (index * 13 + round * 5) % 250;
    return fields;
}

struct RoundFigures {
    double perReply;        // microseconds from the first send to the last paint, per reply
    double windowPerReply;  // microseconds the window thread was busy per reply, paint included
};

// Serves the window's messages until done, bounded to ten minutes; returns the milliseconds
// spent waiting for them, so that the rest of the time is the window thread's work.
double serveUntil(const std::atomic<bool>& done) {
    double idle = 0;
    for (int wait = 0; wait < 60000 && !done; ++wait) {
        const Clock::time_point waitStart = Clock::now();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        idle += millisecondsSince(waitStart);
        pumpMessages();
    }
    return idle;
}

// Every server's reply from a worker thread, as the receiver thread sends them; the window
// thread serves them meanwhile and repaints the visible rows between them, as it does in the
// program. The window thread's busy time is the round's time less its waits for messages.
RoundFigures replyRound(const std::vector<std::string>& keys, int round) {
    std::atomic<bool> done{false};
    const Clock::time_point start = Clock::now();
    std::thread receiver([&] {
        for (std::size_t i = 0; i < keys.size(); ++i) updateServerRow(keys[i], fieldsFor(static_cast<int>(i), round));
        done = true;
    });
    const double idle = serveUntil(done);
    receiver.join();
    // The rows still waiting for the row-count timer are shown now, so the figure includes
    // every paint the rows cost.
    showNewRows();
    UpdateWindow(serverList);
    const double total = millisecondsSince(start);
    const double count = static_cast<double>(keys.size());
    return {total * 1000.0 / count, (total - idle) * 1000.0 / count};
}

// The floor under every reply: the receiver's synchronous message to the window thread
// with nothing to do (a null update).
RoundFigures emptyRound(HWND window, int count) {
    std::atomic<bool> done{false};
    const Clock::time_point start = Clock::now();
    std::thread receiver([&] {
        for (int i = 0; i < count; ++i) SendMessageA(window, serverRowMessage, 0, 0);
        done = true;
    });
    const double idle = serveUntil(done);
    receiver.join();
    const double total = millisecondsSince(start);
    return {total * 1000.0 / count, (total - idle) * 1000.0 / count};
}

double sortTime(int column) {
    const Clock::time_point start = Clock::now();
    sortByColumn(column);
    UpdateWindow(serverList);
    return millisecondsSince(start);
}

// Gives a server players and variables.
void fillRecord(const std::string& key, int players, std::size_t variables) {
    auto lock = lockServerTable();
    ServerRecord& record = findOrAddServer(key);
    record.players.clear();
    for (int i = 0; i < players; ++i) record.players.push_back({"player " + std::to_string(i), i * 3, 40 + i});
    record.info.clear();
    for (std::size_t i = 0; i < variables; ++i) record.info["variable" + std::to_string(i)] = "value " + std::to_string(i);
}

// Milliseconds from a click on row 0 (showServerDetails) to both lists painted, median and
// maximum of several fills: after an empty pane (every row new, the scroll bars appear) and
// after row 1's pane of the same size (an arrow key between like servers).
void paneFill(const char* what, const std::vector<std::string>& keys, int players, std::size_t variables) {
    fillRecord(keys[0], players, variables);
    fillRecord(keys[1], players, variables);
    for (int before : {-1, 1}) {
        std::vector<double> times;
        for (int i = 0; i < 7; ++i) {
            showServerDetails(before);
            pumpMessages();
            const Clock::time_point start = Clock::now();
            showServerDetails(0);
            UpdateWindow(playerList);
            UpdateWindow(infoList);
            times.push_back(millisecondsSince(start));
        }
        std::sort(times.begin(), times.end());
        std::printf("details pane, %s, after %s: filled and painted in %7.1f ms (median), %7.1f ms (max)\n", what,
                    before < 0 ? "an empty pane" : "a pane like it", times[times.size() / 2], times.back());
    }
}

void run(int rows) {
    const HWND window = createMainWindow(GetModuleHandleA(nullptr));
    if (!window) {
        std::printf("the main window could not be created\n");
        return;
    }
    ShowWindow(window, SW_SHOWNOACTIVATE);
    pumpMessages();
    std::vector<std::string> keys;
    for (int i = 0; i < rows; ++i)
        keys.push_back("127.3." + std::to_string(i / 250) + "." + std::to_string(i % 250 + 1) + ":27910");

    const RoundFigures first = replyRound(keys, 0);
    const RoundFigures later = replyRound(keys, 1);
    const RoundFigures floor = emptyRound(window, rows);
    if (rows == 1000) {
        paneFill("16 players and 30 variables", keys, 16, 30);
        paneFill("the 1024 variables of the cap", keys, 0, maxServerInfoKeys);
    }
    std::printf("%5d rows: window thread per new row %6.1f us, per refreshed row %6.1f us (paint included), "
                "per message with nothing to do %6.1f us\n",
                rows, first.windowPerReply, later.windowPerReply, floor.windowPerReply);
    std::printf("%5d rows: receiver's wait per new row %6.1f us, per refreshed row %6.1f us, "
                "per message with nothing to do %6.1f us\n",
                rows, first.perReply, later.perReply, floor.perReply);
    std::printf("%5d rows: sort by name %7.1f ms, by players %7.1f ms, by ping %7.1f ms, by address %7.1f ms\n",
                rows, sortTime(nameColumn), sortTime(playersColumn), sortTime(pingColumn), sortTime(addressColumn));
    DestroyWindow(window);
    pumpMessages();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {1000, 5000};
    for (int rows : sizes)
        if (rows > 0) run(rows);
    return 0;
}
