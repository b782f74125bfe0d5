#include "serverlist/list_reader.h"

// The query channel's header brings in Winsock, which must come before <windows.h>.
#include "protocol/query_channel.h"

#include <windows.h>

#include <cstdio>
#include <memory>

#include "core/view.h"

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
}  // namespace

void readServerList(const char* path) {
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file) {
        setStatusText("Failed to open list file.");
        return;
    }
    readListEntries(file.get(), [](const char* entry) {
        queryServer(entry);
        Sleep(listQueryPacingMs);
    });
}
