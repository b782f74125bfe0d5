#pragma once

#include <string>

// A text of the ANSI code page (a server's name, a copy for the clipboard) as the ANSI code
// page reads it, for the Unicode interfaces.
std::wstring ansiToWide(const std::string& text);
