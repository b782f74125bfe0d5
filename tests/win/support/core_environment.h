#pragma once

// For the whole test process, as startBrowser does for the program: 1 ms timer resolution,
// the query channel open and the receiver thread waiting on it. In place of the window, a
// recorder keeps every setStatusText and updateServerRow call, from any thread.

#include <functional>
#include <string>
#include <vector>

#include "core/server_table.h"

// Waits that end as soon as their condition holds; the limit only bounds a failing test.
constexpr unsigned waitLimitMs = 20000;

// Checks the condition every 10 ms until it holds (true) or limitMs have passed (false).
bool waitUntil(const std::function<bool()>& condition, unsigned limitMs = waitLimitMs);

// "127.0.0.1:PORT" of the query channel, where replies go; empty until the channel has sent
// its first query (which gives it its port).
std::string queryChannelAddress();

namespace recorder {

std::vector<std::string> statusTexts();
// The fields of every row update of one server, oldest first.
std::vector<ServerRowFields> rowsOf(const std::string& key);
void clear();

bool waitForStatusText(const std::string& text);
// True once `count` updates of the server have arrived; `last` gets the latest.
bool waitForRows(const std::string& key, std::size_t count, ServerRowFields* last = nullptr);

}  // namespace recorder
