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

// The most entries taken from one list; the rest of a longer list is ignored. Real lists hold
// a few hundred servers, and this many already take over half an hour to query 30 ms apart;
// the bound keeps a master that sends endless short lines from filling the memory.
constexpr std::size_t maxListEntries = 65536;

// Walks an open list file: skips an HTTP response header, then calls onEntry for every
// entry up to the line "X", an empty line or the end of the file, at most maxEntries times.
// True when the list went on beyond maxEntries.
bool readListEntries(std::FILE* file, const std::function<void(const char* entry)>& onEntry,
                     std::size_t maxEntries = maxListEntries);

// Queries every server named in the list file at path, 30 ms apart; reports a file that
// cannot be opened in the status bar.
void readServerList(const char* path);

// Overlapping list jobs share templist.txt: whoever writes it or reads it holds this lock, so
// no job reads a half-written list and no two downloads write it at once. Only list threads
// take it, and none holds it while it queries servers: the window thread never waits for it,
// and jobs overlap in their query phase.
std::unique_lock<std::mutex> lockListFile();

// Reads the entries of the list file at path (see maxListEntries: a longer list is cut, and the
// status bar says so); false, with "Failed to open list file." in the status bar, when the
// file cannot be opened.
bool loadListEntries(const char* path, std::vector<std::string>& entries);

// Queries the servers of a list in order, pausing 30 ms after each.
void queryListEntries(const std::vector<std::string>& entries);
