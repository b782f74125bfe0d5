#pragma once

#include <winsock2.h>

// The one UDP socket that carries every status query and reply, open from startBrowser
// to stopBrowser.

void openQueryChannel();
void closeQueryChannel();
SOCKET queryChannel();

// Resolves a server list entry, stamps the server's queryTime (making its record on first
// use) and sends it the status query.
void queryServer(const char* entry);
