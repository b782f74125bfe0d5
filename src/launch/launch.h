#pragma once

// Starts the installed game connected to a server: true when the shell started it.
bool launchGame(const char* address);
// Starts the game for the server of a server-list row; a row that names no row starts nothing.
void launchRow(int row);
