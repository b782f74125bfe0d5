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

// The install directory that a registry value of size bytes holds. The launcher needs a
// terminated text of at most 255 characters: a longer value would name another directory if
// cut, so it gives an empty text, like a missing value. A value stored without its
// terminating zero is taken when its characters fit.
std::string installDirOfValue(const char* bytes, std::size_t size);
