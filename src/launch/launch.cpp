#include "launch/launch.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "core/install_dir.h"
#include "launch/launch_text.h"

bool launchGame(const char* address) {
    // Path, parameters and working directory as wide texts: the folder may hold any letter.
    const std::wstring path = buildGamePath(installDirectory());
    const std::wstring parameters = buildConnectParameters(address);
    // The game runs on its own: no handle is kept and nothing waits for it.
    const HINSTANCE result =
        ShellExecuteW(nullptr, nullptr, path.c_str(), parameters.c_str(), installDirectory().c_str(), SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}
