#include "launch/launch.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "core/install_dir.h"
#include "launch/launch_text.h"
#include "ui/server_rows.h"

namespace {

// A row's address is read into a buffer of this size; an address key has at most 21 characters.
constexpr int launchAddressSize = 64;

}  // namespace

bool launchGame(const char* address) {
    // Path, parameters and working directory as wide texts: the folder may hold any letter.
    const std::wstring path = buildGamePath(installDirectory());
    const std::wstring parameters = buildConnectParameters(address);
    // The game runs on its own: no handle is kept and nothing waits for it.
    const HINSTANCE result =
        ShellExecuteW(nullptr, nullptr, path.c_str(), parameters.c_str(), installDirectory().c_str(), SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void launchRow(int row) {
    // Every server row shows its address; an empty one means the index named no row
    // (Enter without a selection, a double-click beside the rows), so nothing starts.
    const std::string address = readRowText(row, addressColumn, launchAddressSize);
    if (address.empty()) return;
    launchGame(address.c_str());
}
