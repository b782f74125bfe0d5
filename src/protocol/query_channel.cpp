#include "protocol/query_channel.h"

void openQueryChannel() {}
void closeQueryChannel() {}
SOCKET queryChannel() { return INVALID_SOCKET; }
void queryServer(const char*) {}
