#pragma once

#include <string>

// Texts are built in buffers of this size, so each is cut to 255 characters.
constexpr int launchTextSize = 256;
// The game's executable inside the install directory.
extern const char gameExecutableName[];

// "<install directory>\tarnwick.exe", cut to 255 characters.
std::string buildGamePath(const char* installDir);
// " +connect <address>", cut to 255 characters.
std::string buildConnectParameters(const char* address);
