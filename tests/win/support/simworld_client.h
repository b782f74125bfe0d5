#pragma once

// A client of the simulated world's control port (address in SB_SIMWORLD_CONTROL): one
// request line out, one JSON response line back.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace simworld {

struct Json {
    enum class Type { Null, Bool, Number, String, Array, Object };
    Type type = Type::Null;
    bool boolean = false;
    double number = 0;
    std::string text;  // a string's characters 0-255 as bytes
    std::vector<Json> items;
    std::vector<std::pair<std::string, Json>> members;

    // A member or an element; a Null value when there is none.
    const Json& operator[](const std::string& key) const;
    const Json& operator[](std::size_t index) const;
    std::size_t size() const { return type == Type::Array ? items.size() : members.size(); }
    bool isNull() const { return type == Type::Null; }
};

// Parses one JSON text; a Null value with `error` set when it is malformed.
Json parseJson(const std::string& text, std::string* error = nullptr);

// Sends one request line (a JSON object or words) and returns the parsed response.
// A failure to reach the world gives {"ok": false, "error": "..."}.
Json request(const std::string& line);

// True when the response says ok; otherwise `why` gets its error text.
bool ok(const Json& response, std::string* why = nullptr);

// A JSON string literal for bytes: characters 0-255 (bytes >= 0x80 as \u00XX).
std::string quote(const std::string& bytes);
// Bytes as hex digits, for "hex" fields.
std::string hex(const std::string& bytes);

}  // namespace simworld
