#pragma once

#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

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

// Overlapping list jobs share templist.txt: whoever writes it or reads it holds this lock, so
// no job reads a half-written list and no two downloads write it at once. Only list threads
// take it, and none holds it while it queries servers: the window thread never waits for it,
// and jobs overlap in their query phase.
std::unique_lock<std::mutex> lockListFile();

// Reads every entry of the list file at path; false, with "Failed to open list file." in the
// status bar, when the file cannot be opened.
bool loadListEntries(const char* path, std::vector<std::string>& entries);

// Queries the servers of a list in order, pausing 30 ms after each.
void queryListEntries(const std::vector<std::string>& entries);
