#pragma once

#include <string>

// A text of the ANSI code page (a server's name, a copy for the clipboard) as the ANSI code
// page reads it, for the Unicode interfaces.
std::wstring ansiToWide(const std::string& text);

// How many bytes of a text fit in limit without cutting a character of the ANSI code page (a
// double-byte one, or UTF-8) in two: a part of a character would show as another letter.
std::size_t ansiCutLength(const std::string& text, std::size_t limit);
