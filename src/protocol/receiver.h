#pragma once

#include <winsock2.h>

// Body of the receiver thread: waits for every datagram on the query channel; never returns.
DWORD WINAPI runReceiver(void* unused);

// Handles one received datagram from the given sender.
void handleStatusReply(int length, const sockaddr_in& from, const char* bytes);
