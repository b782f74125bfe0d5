#include "core/browser.h"

namespace {
char installDir[installDirectorySize] = "";
}

void startBrowser() {}
void stopBrowser() {}
void findInstallDir() {}
const char* installDirectory() { return installDir; }
