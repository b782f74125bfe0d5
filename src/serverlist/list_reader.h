#pragma once

#include <cstdio>
#include <functional>

// A list line holds at most 255 characters and a terminating zero.
constexpr int listLineSize = 256;
// Pause after each status query of a list, in milliseconds.
constexpr unsigned listQueryPacingMs = 30;

// Reads the next line of a list file into buffer (without its line end, cut at size - 1
// characters) and returns the number of characters stored minus one: -1 both at the end of
// the file and for an empty line.
int readListLine(std::FILE* file, char* buffer, int size);

// Walks an open list file: skips an HTTP response header, then calls onEntry for every
// entry up to the line "X", an empty line or the end of the file.
void readListEntries(std::FILE* file, const std::function<void(const char* entry)>& onEntry);

// Queries every server named in the list file at path, 30 ms apart; reports a file that
// cannot be opened in the status bar.
void readServerList(const char* path);
