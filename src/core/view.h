#pragma once

// The two operations through which the core reaches the window. The window defines
// them; both are synchronous and return once the window thread has done the work, so a
// caller must not hold the server table's lock across them.

#include <string>

struct ServerRowFields;

// Shows a text in the status bar; the status bar keeps its own copy.
void setStatusText(const char* text);

// Creates the server's row on its first accepted reply, refreshes it on later ones.
void updateServerRow(const std::string& key, const ServerRowFields& fields);
