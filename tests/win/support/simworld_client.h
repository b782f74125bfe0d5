#pragma once

// A client of the simulated world's control port (address in SB_SIMWORLD_CONTROL): one
// request line out, one JSON response line back.

#include <cstddef>
#include <string>
#include <vector>

#include "json_text.h"

namespace simworld {

// One response of the world, a JSON object. Its scalar values are found by key wherever
// they are nested: a key names the same kind of value at every level of a response.
struct Response {
    std::string json;

    // Every value of the key in document order: strings with their escapes undone (\u00XX
    // is the byte XX), numbers and true/false as written.
    std::vector<std::string> all(const std::string& key) const;
    // The first value of the key, or an empty text.
    std::string get(const std::string& key) const;
    bool ok() const { return get("ok") == "true"; }
};

// Sends one request line (a JSON object, or words) and returns the response. A failure to
// reach the world gives a response without "ok", its reason in "error".
Response request(const std::string& line);
// A request that has to succeed: otherwise a test failure naming the world's error.
bool ok(const std::string& line, Response* response = nullptr);

inline std::string quote(const std::string& bytes) { return jsonQuote(bytes); }
// Bytes as hex digits for the world's "hex" fields, and back.
std::string hex(const std::string& bytes);
std::string unhex(const std::string& digits);

// The arrival times (ms) of the queries a game server has received.
std::vector<double> queryTimes(const std::string& address);
inline std::size_t queriesTo(const std::string& address) { return queryTimes(address).size(); }
// Starts or reconfigures the master at 127.0.0.1: its response bytes and further fields
// (", \"mode\": ..."); and the requests it has received, as raw bytes.
bool setMaster(const std::string& fields, const std::string& response);
std::vector<std::string> masterRequests();

}  // namespace simworld
