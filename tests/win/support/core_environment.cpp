#include "core_environment.h"

#include "protocol/query_channel.h"
#include "protocol/receiver.h"

#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <utility>

#include "core/view.h"

namespace {

class CoreEnvironment : public testing::Environment {
public:
    void SetUp() override {
        timeBeginPeriod(1);
        openQueryChannel();
        ASSERT_NE(queryChannel(), INVALID_SOCKET);
        receiver_ = CreateThread(nullptr, 0, runReceiver, nullptr, 0, nullptr);
        ASSERT_NE(receiver_, nullptr);
    }
    // Like stopBrowser: the handle is released and the channel closed; the thread is not waited for.
    void TearDown() override {
        if (receiver_ != nullptr) CloseHandle(receiver_);
        closeQueryChannel();
        timeEndPeriod(1);
    }

private:
    HANDLE receiver_ = nullptr;
};

testing::Environment* const environment = testing::AddGlobalTestEnvironment(new CoreEnvironment);

std::mutex recordMutex;
std::vector<std::string> recordedTexts;
std::vector<std::pair<std::string, ServerRowFields>> recordedRows;

}  // namespace

void setStatusText(const char* text) {
    std::lock_guard<std::mutex> lock(recordMutex);
    recordedTexts.emplace_back(text);
}

void updateServerRow(const std::string& key, const ServerRowFields& fields) {
    std::lock_guard<std::mutex> lock(recordMutex);
    recordedRows.emplace_back(key, fields);
}

bool waitUntil(const std::function<bool()>& condition, unsigned limitMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > limitMs) return false;
        Sleep(10);
    }
    return true;
}

std::string queryChannelAddress() {
    sockaddr_in local = {};
    int length = sizeof local;
    if (getsockname(queryChannel(), reinterpret_cast<sockaddr*>(&local), &length) != 0 || local.sin_port == 0)
        return std::string();
    return "127.0.0.1:" + std::to_string(ntohs(local.sin_port));
}

namespace recorder {

std::vector<std::string> statusTexts() {
    std::lock_guard<std::mutex> lock(recordMutex);
    return recordedTexts;
}

std::vector<ServerRowFields> rowsOf(const std::string& key) {
    std::lock_guard<std::mutex> lock(recordMutex);
    std::vector<ServerRowFields> rows;
    for (const auto& row : recordedRows)
        if (row.first == key) rows.push_back(row.second);
    return rows;
}

void clear() {
    std::lock_guard<std::mutex> lock(recordMutex);
    recordedTexts.clear();
    recordedRows.clear();
}

bool waitForStatusText(const std::string& text) {
    return waitUntil([&] {
        const std::vector<std::string> texts = statusTexts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    });
}

bool waitForRows(const std::string& key, std::size_t count, ServerRowFields* last) {
    std::vector<ServerRowFields> rows;
    if (!waitUntil([&] { return (rows = rowsOf(key)).size() >= count; })) return false;
    if (last != nullptr) *last = rows.back();
    return true;
}

}  // namespace recorder
