#include "simworld_client.h"

#include <winsock2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace simworld {

namespace {

// Bounds every exchange with the world, so a test never hangs on it.
constexpr DWORD exchangeTimeoutMs = 30000;

const Json& nullJson() {
    static const Json value;
    return value;
}

class Parser {
public:
    explicit Parser(const std::string& text) : text_(text) {}

    bool parseDocument(Json& out) {
        if (!parseValue(out, 0)) return false;
        skipBlanks();
        return at_ == text_.size();
    }

    std::string error() const { return "malformed JSON near offset " + std::to_string(at_); }

private:
    static constexpr int maxDepth = 64;

    void skipBlanks() {
        while (at_ < text_.size() && std::strchr(" \t\r\n", text_[at_]) != nullptr) ++at_;
    }

    bool consume(const char* word) {
        std::size_t length = std::strlen(word);
        if (text_.compare(at_, length, word) != 0) return false;
        at_ += length;
        return true;
    }

    bool parseValue(Json& out, int depth) {
        if (depth > maxDepth) return false;
        skipBlanks();
        if (at_ >= text_.size()) return false;
        char c = text_[at_];
        if (c == '{') return parseObject(out, depth);
        if (c == '[') return parseArray(out, depth);
        if (c == '"') {
            out.type = Json::Type::String;
            return parseString(out.text);
        }
        if (consume("true")) {
            out.type = Json::Type::Bool;
            out.boolean = true;
            return true;
        }
        if (consume("false")) {
            out.type = Json::Type::Bool;
            return true;
        }
        if (consume("null")) return true;
        return parseNumber(out);
    }

    bool parseNumber(Json& out) {
        const char* start = text_.c_str() + at_;
        char* end = nullptr;
        out.number = std::strtod(start, &end);
        if (end == start) return false;
        out.type = Json::Type::Number;
        at_ += static_cast<std::size_t>(end - start);
        return true;
    }

    bool parseString(std::string& out) {
        ++at_;  // the opening quote
        while (at_ < text_.size()) {
            char c = text_[at_++];
            if (c == '"') return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= text_.size()) return false;
            char escaped = text_[at_++];
            switch (escaped) {
                case 'n': out += '\n'; break;
                case 't': out += '\t'; break;
                case 'r': out += '\r'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'u': {
                    if (at_ + 4 > text_.size()) return false;
                    unsigned long code = std::strtoul(text_.substr(at_, 4).c_str(), nullptr, 16);
                    at_ += 4;
                    // The world writes bytes as the characters 0-255; others have no byte.
                    out += code < 256 ? static_cast<char>(code) : '?';
                    break;
                }
                default: out += escaped; break;
            }
        }
        return false;
    }

    bool parseArray(Json& out, int depth) {
        out.type = Json::Type::Array;
        ++at_;
        skipBlanks();
        if (consume("]")) return true;
        for (;;) {
            Json item;
            if (!parseValue(item, depth + 1)) return false;
            out.items.push_back(std::move(item));
            skipBlanks();
            if (consume("]")) return true;
            if (!consume(",")) return false;
        }
    }

    bool parseObject(Json& out, int depth) {
        out.type = Json::Type::Object;
        ++at_;
        skipBlanks();
        if (consume("}")) return true;
        for (;;) {
            skipBlanks();
            std::string key;
            if (at_ >= text_.size() || text_[at_] != '"' || !parseString(key)) return false;
            skipBlanks();
            if (!consume(":")) return false;
            Json value;
            if (!parseValue(value, depth + 1)) return false;
            out.members.emplace_back(std::move(key), std::move(value));
            skipBlanks();
            if (consume("}")) return true;
            if (!consume(",")) return false;
        }
    }

    const std::string& text_;
    std::size_t at_ = 0;
};

Json failure(const std::string& why) {
    Json response;
    response.type = Json::Type::Object;
    Json okValue;
    okValue.type = Json::Type::Bool;
    Json error;
    error.type = Json::Type::String;
    error.text = why;
    response.members.emplace_back("ok", okValue);
    response.members.emplace_back("error", error);
    return response;
}

class Connection {
public:
    Connection() : socket_(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {}
    ~Connection() {
        if (socket_ != INVALID_SOCKET) closesocket(socket_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    SOCKET get() const { return socket_; }

private:
    SOCKET socket_;
};

}  // namespace

const Json& Json::operator[](const std::string& key) const {
    for (const auto& member : members) {
        if (member.first == key) return member.second;
    }
    return nullJson();
}

const Json& Json::operator[](std::size_t index) const { return index < items.size() ? items[index] : nullJson(); }

Json parseJson(const std::string& text, std::string* error) {
    Parser parser(text);
    Json value;
    if (parser.parseDocument(value)) return value;
    if (error != nullptr) *error = parser.error();
    return Json();
}

Json request(const std::string& line) {
    const char* address = std::getenv("SB_SIMWORLD_CONTROL");
    if (address == nullptr) return failure("SB_SIMWORLD_CONTROL is not set: run the tests inside simworld.py");
    const char* colon = std::strrchr(address, ':');
    if (colon == nullptr) return failure("SB_SIMWORLD_CONTROL is not host:port");

    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return failure("WSAStartup failed");
    struct Cleanup {
        ~Cleanup() { WSACleanup(); }
    } cleanup;

    sockaddr_in control;
    std::memset(&control, 0, sizeof control);
    control.sin_family = AF_INET;
    control.sin_port = htons(static_cast<u_short>(std::atoi(colon + 1)));
    control.sin_addr.s_addr = inet_addr(std::string(address, colon).c_str());

    Connection connection;
    if (connection.get() == INVALID_SOCKET) return failure("no socket");
    DWORD timeout = exchangeTimeoutMs;
    setsockopt(connection.get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    setsockopt(connection.get(), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    if (connect(connection.get(), reinterpret_cast<const sockaddr*>(&control), sizeof control) != 0)
        return failure("cannot connect to the world at " + std::string(address));

    std::string out = line + "\n";
    for (std::size_t sent = 0; sent < out.size();) {
        int n = send(connection.get(), out.data() + sent, static_cast<int>(out.size() - sent), 0);
        if (n <= 0) return failure("sending the request failed");
        sent += static_cast<std::size_t>(n);
    }

    std::string response;
    char chunk[4096];
    while (response.empty() || response.back() != '\n') {
        int n = recv(connection.get(), chunk, sizeof chunk, 0);
        if (n <= 0) return failure("no complete response from the world");
        response.append(chunk, static_cast<std::size_t>(n));
    }
    std::string error;
    Json parsed = parseJson(response, &error);
    if (parsed.isNull()) return failure(error + " in the response " + response);
    return parsed;
}

bool ok(const Json& response, std::string* why) {
    if (response["ok"].boolean) return true;
    if (why != nullptr) *why = response["error"].text;
    return false;
}

std::string quote(const std::string& bytes) {
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 0xf];
    }
    return out;
}

}  // namespace simworld
