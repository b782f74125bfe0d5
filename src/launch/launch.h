#pragma once

// Starting the installed game: the install directory's tarnwick.exe, through the shell. The
// launcher knows the install directory and the shell; the window hands it the address.

// Starts the game connected to the server of the address key; true when the shell started it.
bool launchGame(const char* address);
