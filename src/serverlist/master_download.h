#pragma once

#include <string>

// The master list: the only URL ever downloaded.
extern const char masterListUrl[];
constexpr unsigned short masterListPort = 80;
// The file that holds the last downloaded list, in the current directory.
extern const char tempListFile[];

// "GET <url> HTTP/1.0" and two line feeds: the whole request.
std::string buildListRequest(const char* url);
// The host part of an http:// URL: after its first seven characters, up to the first
// "/", at most 255 characters.
std::string hostOfUrl(const char* url);

// Downloads the master list into templist.txt and queries the servers it names.
void downloadServerList(const char* url);
