#pragma once

// Stands in for the window in the core's Windows tests: defines setStatusText and
// updateServerRow, records every call (from any thread) and lets a test wait for them.

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "core/server_table.h"

struct RecordedRow {
    std::string key;
    ServerRowFields fields;
};

namespace recorder {

// How long a test waits for the core by default before it gives up.
constexpr std::chrono::milliseconds defaultWait{10000};

std::vector<std::string> statusTexts();
std::vector<RecordedRow> rowUpdates();
std::vector<RecordedRow> rowUpdatesOf(const std::string& key);

// True once `text` has been shown (at any time since the start or the last clear).
bool waitForStatusText(const std::string& text, std::chrono::milliseconds timeout = defaultWait);
// True once at least `count` updates of `key` have been recorded; `last` gets the latest.
bool waitForRowUpdates(const std::string& key, std::size_t count, std::chrono::milliseconds timeout = defaultWait,
                       RecordedRow* last = nullptr);

void clear();

}  // namespace recorder
