#include "recorder.h"

#include <condition_variable>
#include <mutex>

#include "core/view.h"

namespace {

struct Record {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> statusTexts;
    std::vector<RecordedRow> rows;
};

Record& record() {
    static Record instance;
    return instance;
}

std::size_t countOf(const std::vector<RecordedRow>& rows, const std::string& key, RecordedRow* last) {
    std::size_t count = 0;
    for (const RecordedRow& row : rows) {
        if (row.key != key) continue;
        ++count;
        if (last != nullptr) *last = row;
    }
    return count;
}

}  // namespace

void setStatusText(const char* text) {
    Record& r = record();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        r.statusTexts.emplace_back(text);
    }
    r.changed.notify_all();
}

void updateServerRow(const std::string& key, const ServerRowFields& fields) {
    Record& r = record();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        r.rows.push_back(RecordedRow{key, fields});
    }
    r.changed.notify_all();
}

namespace recorder {

std::vector<std::string> statusTexts() {
    std::lock_guard<std::mutex> lock(record().mutex);
    return record().statusTexts;
}

std::vector<RecordedRow> rowUpdates() {
    std::lock_guard<std::mutex> lock(record().mutex);
    return record().rows;
}

std::vector<RecordedRow> rowUpdatesOf(const std::string& key) {
    std::vector<RecordedRow> rows;
    for (RecordedRow& row : rowUpdates()) {
        if (row.key == key) rows.push_back(std::move(row));
    }
    return rows;
}

bool waitForStatusText(const std::string& text, std::chrono::milliseconds timeout) {
    Record& r = record();
    std::unique_lock<std::mutex> lock(r.mutex);
    return r.changed.wait_for(lock, timeout, [&] {
        for (const std::string& shown : r.statusTexts) {
            if (shown == text) return true;
        }
        return false;
    });
}

bool waitForRowUpdates(const std::string& key, std::size_t count, std::chrono::milliseconds timeout,
                       RecordedRow* last) {
    Record& r = record();
    std::unique_lock<std::mutex> lock(r.mutex);
    bool arrived = r.changed.wait_for(lock, timeout, [&] { return countOf(r.rows, key, nullptr) >= count; });
    if (arrived && last != nullptr) countOf(r.rows, key, last);
    return arrived;
}

void clear() {
    std::lock_guard<std::mutex> lock(record().mutex);
    record().statusTexts.clear();
    record().rows.clear();
}

}  // namespace recorder
