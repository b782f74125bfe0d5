#include "protocol/receiver.h"

DWORD WINAPI runReceiver(void*) { return 0; }
void handleStatusReply(int, const sockaddr_in&, const char*) {}
