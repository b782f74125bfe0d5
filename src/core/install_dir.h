#pragma once

#include <cstddef>
#include <string>

// The game's install directory, read once at start-up from the registry value INSTDIR. It is
// a wide text: a folder of the player's may be named in letters the ANSI code page lacks.

// The directory is held like a 256-character buffer would hold it: 255 characters at most.
constexpr std::size_t installDirectorySize = 256;

// The value, first under the current user's key, then the machine's, its variables expanded
// when it is a REG_EXPAND_SZ; "c:\games\tarnwick", after a message box, when neither key
// exists. On the window thread, before any worker starts.
void findInstallDir();
// The install directory as findInstallDir set it; empty when the key has no readable text value.
const std::wstring& installDirectory();

// The install directory that a registry value of count characters holds. The launcher needs
// a text of at most 255 characters: a longer value would name another directory if cut, so
// it gives an empty text, like a missing value. A value stored without its terminating zero
// is taken when its characters fit.
std::wstring installDirOfValue(const wchar_t* chars, std::size_t count);
