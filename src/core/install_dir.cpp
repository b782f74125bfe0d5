#include "core/install_dir.h"

#include <windows.h>

namespace {

// Written by findInstallDir before any worker thread starts; only read afterwards.
std::wstring installDir;

constexpr wchar_t gameKey[] = L"Software\\Kestrel Forge\\Tarnwick";
constexpr wchar_t installDirValue[] = L"INSTDIR";
constexpr wchar_t defaultInstallDir[] = L"c:\\games\\tarnwick";

// The game's installer is a 32-bit program, so its keys live in the 32-bit registry view.
// Read access is all the browser needs; a key that cannot be read counts as missing.
HKEY openGameKey(HKEY root) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, gameKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

bool sameName(const std::wstring& name, const wchar_t* other) {
    // Environment variables are named without regard to case.
    return CompareStringOrdinal(name.c_str(), -1, other, -1, TRUE) == CSTR_EQUAL;
}

// The installer that wrote the value is a 32-bit program: its %ProgramFiles% and
// %CommonProgramFiles% are the 32-bit folders, which this 64-bit process finds under the
// names ending in "(x86)" (where the system has them: a 64-bit Windows).
std::wstring asWrittenBy32BitInstaller(const std::wstring& value) {
    if (GetEnvironmentVariableW(L"ProgramFiles(x86)", nullptr, 0) == 0) return value;
    std::wstring text;
    for (std::size_t at = 0; at < value.size();) {
        // Variables pair their percent signs from the left, as the expansion reads them.
        const std::size_t end = value[at] == L'%' ? value.find(L'%', at + 1) : std::wstring::npos;
        if (end == std::wstring::npos) {
            text += value[at++];
            continue;
        }
        std::wstring name = value.substr(at + 1, end - at - 1);
        if (sameName(name, L"ProgramFiles") || sameName(name, L"CommonProgramFiles")) name += L"(x86)";
        text += L'%' + name + L'%';
        at = end + 1;
    }
    return text;
}

// The folder that a REG_EXPAND_SZ value names through variables (%LOCALAPPDATA%\...), which
// ShellExecuteW would not expand in the working directory; under the same 255-character rule.
std::wstring expandedInstallDir(const std::wstring& value) {
    wchar_t expanded[installDirectorySize];
    // The count includes the terminating zero; a larger one is the room the whole text needs.
    const DWORD count =
        ExpandEnvironmentStringsW(asWrittenBy32BitInstaller(value).c_str(), expanded, installDirectorySize);
    if (count == 0 || count > installDirectorySize) return {};
    return expanded;
}

// Read as UTF-16: the ANSI form would turn every letter outside the code page into '?', and
// the game would be looked for in a folder that does not exist. A value that cannot be read
// whole into 256 characters leaves the directory empty (see installDirOfValue for the rest),
// and so does one of another type than text (a number, binary data), as a missing value does.
void readInstallDir(HKEY key) {
    wchar_t value[installDirectorySize];
    DWORD type = REG_NONE;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key, installDirValue, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
        ERROR_SUCCESS)
        return;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return;
    installDir = installDirOfValue(value, size / sizeof value[0]);
    if (type == REG_EXPAND_SZ) installDir = expandedInstallDir(installDir);
}

}  // namespace

void findInstallDir() {
    installDir.clear();
    HKEY key = openGameKey(HKEY_CURRENT_USER);
    if (key == nullptr) key = openGameKey(HKEY_LOCAL_MACHINE);
    if (key == nullptr) {
        MessageBoxA(nullptr, "Tarnwick installation directory not found.", "Tarnwick Server Browser Error", MB_OK);
        installDir = defaultInstallDir;
        return;
    }
    readInstallDir(key);
    RegCloseKey(key);
}

const std::wstring& installDirectory() { return installDir; }
