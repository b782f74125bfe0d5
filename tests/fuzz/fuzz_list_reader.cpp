// Feeds arbitrary bytes to the list reader as a list file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "serverlist/list_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A memory stream of no bytes is not portable; an empty list is covered by the unit tests.
    if (size == 0) return 0;
    std::vector<char> bytes(data, data + size);

    if (std::FILE* file = fmemopen(bytes.data(), bytes.size(), "rb")) {
        std::size_t entries = 0;
        readListEntries(file, [&](const char* entry) {
            // An entry is a terminated text within one line buffer and never the end line.
            if (std::strlen(entry) >= static_cast<std::size_t>(listLineSize)) std::abort();
            if (std::strcmp(entry, "X") == 0) std::abort();
            ++entries;
        });
        // Every entry holds at least one byte of the file.
        if (entries > size) std::abort();
        std::fclose(file);
    }
    return 0;
}
