#include "launch/launch_text.h"

#include <cstdio>

const char gameExecutableName[] = "tarnwick.exe";

namespace {

// Formats into a launch-text buffer: snprintf always ends the text inside the buffer, so an
// overlong text loses its end and keeps 255 characters.
template <typename... Args>
std::string formatCut(const char* format, Args... args) {
    char buffer[launchTextSize];
    if (std::snprintf(buffer, sizeof buffer, format, args...) < 0) return {};
    return buffer;
}

const char* orEmpty(const char* text) { return text ? text : ""; }

}  // namespace

std::string buildGamePath(const char* installDir) {
    // The directory is taken as it is: one ending in a backslash gives two in a row.
    return formatCut("%s\\%s", orEmpty(installDir), gameExecutableName);
}

std::string buildConnectParameters(const char* address) {
    return formatCut(" +connect %s", orEmpty(address));
}

std::string installDirOfValue(const char* bytes, std::size_t size) {
    if (size > 0 && bytes[size - 1] == '\0') --size;
    if (size >= static_cast<std::size_t>(launchTextSize)) return {};
    // Up to the first zero, as the launcher reads it.
    return std::string(bytes, size).c_str();
}
