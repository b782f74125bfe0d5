#include "serverlist/master_download.h"

#include <cstring>

const char masterListUrl[] = "http://master.kestrelforge.net/serverlist.php";
const char tempListFile[] = "templist.txt";

namespace {
// Length of "http://", with which the master list's URL begins.
constexpr std::size_t schemeLength = 7;
// The host part is held like a list line: 255 characters and a terminating zero.
constexpr std::size_t maxHostLength = 255;
}  // namespace

std::string buildListRequest(const char* url) { return std::string("GET ") + url + " HTTP/1.0\n\n"; }

std::string hostOfUrl(const char* url) {
    if (std::strlen(url) < schemeLength) return {};
    std::string host(url + schemeLength);
    host = host.substr(0, maxHostLength);
    return host.substr(0, host.find('/'));
}
