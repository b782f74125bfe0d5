#pragma once

#include <string>

// What a row's copy commands put on the clipboard.
enum ClipboardKind { copyAddressKind = 0, copyUrlKind = 1, copyFullInfoKind = 2 };

// Each cell of a row is read into a buffer of this many characters, terminator included,
// so a longer text keeps one character less. An address key has at most 21 characters;
// the others are cut where a summary line would grow unwieldy.
constexpr int addressTextSize = 64;
constexpr int serverNameTextSize = 64;
constexpr int pingTextSize = 16;
constexpr int mapTextSize = 32;
constexpr int playersTextSize = 16;

// The copied text is built in a buffer of this size, so it holds at most 1023 characters.
constexpr int clipboardTextSize = 1024;

// The cell texts of one server-list row as the row shows them.
struct ClipboardCells {
    std::string address;
    std::string serverName;
    std::string ping;
    std::string map;
    std::string players;
};

// The text a copy of the given kind puts on the clipboard: the address, "tarnwick://" and
// the address, or the five cells joined by single blanks (address, name, ping, map,
// players). Each cell is cut to its buffer size first, and every control character (below
// 32) becomes a blank. Empty when there is nothing to copy: an unknown kind, or a row
// without an address (every server row has one, so an empty address means the row index
// named no row).
std::string buildClipboardText(int kind, const ClipboardCells& texts);
