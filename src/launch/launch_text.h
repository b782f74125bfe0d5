#pragma once

#include <cstddef>
#include <string>

// The game's path and parameters are wide texts: the install directory comes from the
// player's system and may hold letters that the ANSI code page cannot spell. Each is built
// in a buffer of this many characters, so it is cut to 255.
constexpr std::size_t launchTextSize = 256;
// The game's executable inside the install directory.
extern const wchar_t gameExecutableName[];

// "<install directory>\tarnwick.exe", cut to 255 characters.
std::wstring buildGamePath(const std::wstring& installDir);
// " +connect <address>", cut to 255 characters; the address is an address key (ASCII).
std::wstring buildConnectParameters(const char* address);

