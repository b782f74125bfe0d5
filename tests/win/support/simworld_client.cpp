#include "simworld_client.h"

#include <winsock2.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace simworld {

namespace {

// Bounds every exchange with the world, so a test never hangs on it.
constexpr DWORD exchangeTimeoutMs = 30000;

constexpr char escapeLetters[] = "nrtbf";
constexpr char escapedCharacters[] = "\n\r\t\b\f";

Response failure(const std::string& why) { return Response{"{\"error\": " + jsonQuote(why) + "}"}; }

// Sends the line and reads one response line; empty when the exchange failed.
std::string exchange(const char* address, const std::string& line) {
    const char* colon = std::strrchr(address, ':');
    if (colon == nullptr) return std::string();
    sockaddr_in control = {};
    control.sin_family = AF_INET;
    control.sin_port = htons(static_cast<u_short>(std::atoi(colon + 1)));
    control.sin_addr.s_addr = inet_addr(std::string(address, colon).c_str());

    const SOCKET connection = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (connection == INVALID_SOCKET) return std::string();
    DWORD timeout = exchangeTimeoutMs;
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    setsockopt(connection, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    std::string response;
    if (connect(connection, reinterpret_cast<const sockaddr*>(&control), sizeof control) == 0) {
        const std::string out = line + "\n";
        std::size_t sent = 0;
        for (int n = 0; sent < out.size(); sent += static_cast<std::size_t>(n)) {
            n = send(connection, out.data() + sent, static_cast<int>(out.size() - sent), 0);
            if (n <= 0) break;
        }
        char chunk[4096];
        for (int n = 0; sent == out.size() && (response.empty() || response.back() != '\n');) {
            n = recv(connection, chunk, sizeof chunk, 0);
            if (n <= 0) break;
            response.append(chunk, static_cast<std::size_t>(n));
        }
    }
    closesocket(connection);
    return response;
}

}  // namespace

std::vector<std::string> Response::all(const std::string& key) const {
    std::vector<std::string> values;
    const std::string name = "\"" + key + "\":";
    for (std::size_t at = json.find(name); at != std::string::npos; at = json.find(name, at)) {
        at += name.size();
        while (at < json.size() && json[at] == ' ') ++at;
        std::string value;
        if (at < json.size() && json[at] == '"') {
            for (++at; at < json.size() && json[at] != '"'; ++at) {
                char c = json[at];
                if (c == '\\' && at + 1 < json.size()) {
                    c = json[++at];
                    if (c == 'u' && at + 4 < json.size()) {
                        c = static_cast<char>(std::strtoul(json.substr(at + 1, 4).c_str(), nullptr, 16));
                        at += 4;
                    } else if (const char* letter = std::strchr(escapeLetters, c)) {
                        c = escapedCharacters[letter - escapeLetters];
                    }
                }
                value += c;
            }
        } else {
            while (at < json.size() && std::strchr(",}] ", json[at]) == nullptr) value += json[at++];
        }
        values.push_back(value);
    }
    return values;
}

std::string Response::get(const std::string& key) const {
    const std::vector<std::string> values = all(key);
    return values.empty() ? std::string() : values.front();
}

Response request(const std::string& line) {
    const char* address = std::getenv("SB_SIMWORLD_CONTROL");
    if (address == nullptr) return failure("SB_SIMWORLD_CONTROL is not set: run the tests inside simworld.py");
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return failure("WSAStartup failed");
    Response response{exchange(address, line)};
    WSACleanup();
    if (response.json.empty() || response.json.back() != '\n')
        return failure("no response from the world at " + std::string(address));
    return response;
}

bool ok(const std::string& line, Response* response) {
    const Response answer = request(line);
    if (response != nullptr) *response = answer;
    if (answer.ok()) return true;
    ADD_FAILURE() << line << ": " << answer.get("error");
    return false;
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

std::string unhex(const std::string& digits) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes += static_cast<char>(std::strtol(digits.substr(i, 2).c_str(), nullptr, 16));
    return bytes;
}

std::vector<double> queryTimes(const std::string& address) {
    std::vector<double> times;
    for (const std::string& time : request("game.log " + address).all("t")) times.push_back(std::atof(time.c_str()));
    return times;
}

bool setMaster(const std::string& fields, const std::string& response) {
    return ok("{\"op\": \"master.set\", \"hex\": \"" + hex(response) + "\"" + fields + "}");
}

std::vector<std::string> masterRequests() { return request("master.log").all("raw"); }

}  // namespace simworld
