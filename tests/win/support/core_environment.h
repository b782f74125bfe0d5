#pragma once

// For the whole test process, as startBrowser does for the program: 1 ms timer resolution,
// the query channel open and the receiver thread waiting on it.

#include <string>

// "127.0.0.1:PORT" of the query channel, where the world sends replies to; empty until the
// channel has sent its first query (which gives it its port).
std::string queryChannelAddress();
