#pragma once

// A JSON string literal for bytes: each byte is the character of the same number, and
// those outside printable ASCII are written as \u00XX, so a reader gets the bytes back.

#include <cstdio>
#include <string>

inline std::string jsonQuote(const std::string& bytes) {
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c == '"' || c == '\\') out += '\\';
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        }
    }
    return out + "\"";
}
