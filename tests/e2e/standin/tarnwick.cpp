// Stand-in for the game in end-to-end tests. Installed as tarnwick.exe in a test install
// directory, it records how it was started and ends at once: each start appends one line
// to launches.log beside the executable: its command line, its working directory and the
// show command it was given, separated by TABs.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    char path[MAX_PATH] = "";
    std::string log(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    log = log.substr(0, log.find_last_of("\\/") + 1) + "launches.log";
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, directory);

    std::FILE* file = std::fopen(log.c_str(), "ab");
    if (!file) return 1;
    std::fprintf(file, "%s\t%s\t%d\n", GetCommandLineA(), directory, showCommand);
    std::fclose(file);
    return 0;
}
