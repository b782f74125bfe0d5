#include "serverlist/master_download.h"

std::string buildListRequest(const char* url) { return std::string("GET ") + url + " HTTP/1.0\n\n"; }
std::string hostOfUrl(const char*) { return {}; }
