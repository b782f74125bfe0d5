#include "launch/launch_text.h"

const char gameExecutableName[] = "tarnwick.exe";

std::string buildGamePath(const char*) { return {}; }
std::string buildConnectParameters(const char*) { return {}; }
