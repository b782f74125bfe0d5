#pragma once

#include <string>

// The master list: the only URL ever downloaded.
extern const char masterListUrl[];
constexpr unsigned short masterListPort = 80;
// The file that holds the last downloaded list, in the current directory.
extern const char tempListFile[];

// A connection to the master that is not made within this time fails with "Failed to connect.".
constexpr unsigned masterConnectLimitMs = 10000;
// A response that stalls this long ends like a connection that failed while it arrived: what
// came before is stored and read. Without it a server that stops sending would hold the list
// thread, and with it every later list job, for as long as it kept the connection open.
constexpr unsigned masterStallLimitMs = 30000;
// The whole response must have come within this time, or the download fails with "List
// download took too long." and nothing is queried: a master that sends a byte just inside
// every stall limit would otherwise hold the list file, and every later job, for ever. A real
// list of a few kilobytes takes well under a second; three minutes leave room for the slowest
// line a player may have.
constexpr unsigned masterDownloadLimitMs = 180000;

// "GET <url> HTTP/1.0" and two line feeds: the whole request.
std::string buildListRequest(const char* url);
// The host part of an http:// URL: after its first seven characters, up to the first
// "/", at most 255 characters.
std::string hostOfUrl(const char* url);

// Downloads the master list into templist.txt and queries the servers it names. The time
// limits are parameters so that tests can shorten them.
void downloadServerList(const char* url, unsigned connectLimitMs = masterConnectLimitMs,
                        unsigned stallLimitMs = masterStallLimitMs, unsigned downloadLimitMs = masterDownloadLimitMs);
