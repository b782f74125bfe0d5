// Stand-in for the game in end-to-end tests. Installed as tarnwick.exe in a test install
// directory, it records how it was started and ends at once: each start appends one line
// to launches.log beside the executable,
//   <whole command line> TAB <parameters after the program name> TAB <working directory> LF
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// What follows the program name on a command line: the name ends at its closing quote
// when quoted, else at the first blank; the one blank the shell puts after it is skipped.
std::string parametersOf(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        const char* close = std::strchr(p + 1, '"');
        p = close ? close + 1 : p + std::strlen(p);
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    if (*p == ' ') ++p;
    return p;
}

std::string logPath() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, length);
    const std::string::size_type slash = text.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : text.substr(0, slash + 1)) + "launches.log";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* commandLine = GetCommandLineA();
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, directory);

    std::FILE* log = std::fopen(logPath().c_str(), "ab");
    if (!log) return 1;
    std::fprintf(log, "%s\t%s\t%s\n", commandLine, parametersOf(commandLine).c_str(), directory);
    std::fclose(log);
    return 0;
}
