#include "serverlist/list_reader.h"

#include <cstring>

namespace {
constexpr int lineFeed = 10;
constexpr int carriageReturn = 13;
// A first line that begins with this starts an HTTP response header.
constexpr char headerPrefix[] = "HTTP/";
constexpr std::size_t headerPrefixLength = sizeof headerPrefix - 1;
// The line that ends a list.
constexpr char listEndLine[] = "X";
}  // namespace

int readListLine(std::FILE* file, char* buffer, int size) {
    if (size <= 0) return -1;
    int count = 0;
    for (;;) {
        const int byte = std::fgetc(file);
        if (byte == EOF || byte == lineFeed) break;
        if (byte == carriageReturn) {
            // CR LF is one line end; any other byte after a CR begins the next line.
            const int next = std::fgetc(file);
            if (next != lineFeed && next != EOF) std::ungetc(next, file);
            break;
        }
        // A full buffer cuts the line: this byte is lost and the rest forms the next line.
        if (count >= size - 1) break;
        buffer[count++] = static_cast<char>(byte);
    }
    buffer[count] = '\0';
    return count - 1;
}

bool readListEntries(std::FILE* file, const std::function<void(const char*)>& onEntry, std::size_t maxEntries) {
    char line[listLineSize];
    int result = readListLine(file, line, listLineSize);
    if (std::strncmp(line, headerPrefix, headerPrefixLength) == 0) {
        // The header runs up to and including its first line of fewer than 2 characters.
        while (readListLine(file, line, listLineSize) > 0) {
        }
        result = readListLine(file, line, listLineSize);
    }
    for (std::size_t count = 0; result >= 0; ++count) {
        if (std::strcmp(line, listEndLine) == 0) return false;
        if (count == maxEntries) return true;
        onEntry(line);
        result = readListLine(file, line, listLineSize);
    }
    return false;
}
