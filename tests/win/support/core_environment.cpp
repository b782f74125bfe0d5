#include "core_environment.h"

#include "protocol/query_channel.h"
#include "protocol/receiver.h"

#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr UINT timerResolutionMs = 1;

class CoreEnvironment : public testing::Environment {
public:
    void SetUp() override {
        timeBeginPeriod(timerResolutionMs);
        openQueryChannel();
        ASSERT_NE(queryChannel(), INVALID_SOCKET);
        receiver_ = CreateThread(nullptr, 0, runReceiver, nullptr, 0, nullptr);
        ASSERT_NE(receiver_, nullptr);
    }

    // Like stopBrowser: the handle is released and the channel closed; the thread is not waited for.
    void TearDown() override {
        if (receiver_ != nullptr) CloseHandle(receiver_);
        closeQueryChannel();
        timeEndPeriod(timerResolutionMs);
    }

private:
    HANDLE receiver_ = nullptr;
};

testing::Environment* const environment = testing::AddGlobalTestEnvironment(new CoreEnvironment);

}  // namespace

std::string queryChannelAddress() {
    sockaddr_in local;
    int length = sizeof local;
    std::memset(&local, 0, sizeof local);
    if (getsockname(queryChannel(), reinterpret_cast<sockaddr*>(&local), &length) != 0 || local.sin_port == 0)
        return std::string();
    char text[32];
    std::snprintf(text, sizeof text, "127.0.0.1:%u", static_cast<unsigned>(ntohs(local.sin_port)));
    return text;
}
