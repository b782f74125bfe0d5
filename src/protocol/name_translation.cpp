#include "protocol/name_translation.h"

namespace {

// Bytes that translation removes: 133 to 135 alone, 136 together with the byte after it.
constexpr unsigned char firstDroppedByte = 133;
constexpr unsigned char lastDroppedByte = 135;
constexpr unsigned char dropWithNextByte = 136;

}  // namespace

// Printable stand-ins for control codes and high bytes. 160-224 and 251-254 lose their
// high bit; 225-250 come out as the capital letters A-Z.
const unsigned char nameTranslationTable[256] = {
    // 0-31: control codes
    0, '-', '-', '-', '_', '*', 't', '.', 'N', '-', '\n', '#', '.', '>', '*', '*',
    '[', ']', '@', '@', '@', '@', '@', '@', '<', '>', '.', '-', '*', '-', '-', '-',
    // 32-127: printable ASCII unchanged, 127 as '<'
    ' ', '!', '"', '#', '$', '%', '&', '\'', '(', ')', '*', '+', ',', '-', '.', '/',
    '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', ':', ';', '<', '=', '>', '?',
    '@', 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O',
    'P', 'Q', 'R', 'S', 'T', 'U', 'V', 'W', 'X', 'Y', 'Z', '[', '\\', ']', '^', '_',
    '`', 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o',
    'p', 'q', 'r', 's', 't', 'u', 'v', 'w', 'x', 'y', 'z', '{', '|', '}', '~', '<',
    // 128-159: 133-136 are never looked up (translateName removes them)
    '(', '=', ')', '^', '!', '.', '.', '.', '.', 'C', 'R', '#', '?', '>', '*', '*',
    '[', ']', '@', '@', '@', '@', '@', '@', '<', '>', '*', 'X', '*', '-', '-', '-',
    // 160-224: the byte minus 128
    ' ', '!', '"', '#', '$', '%', '&', '\'', '(', ')', '*', '+', ',', '-', '.', '/',
    '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', ':', ';', '<', '=', '>', '?',
    '@', 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O',
    'P', 'Q', 'R', 'S', 'T', 'U', 'V', 'W', 'X', 'Y', 'Z', '[', '\\', ']', '^', '_',
    '`',
    // 225-250: the byte minus 160, capital letters
    'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O',
    'P', 'Q', 'R', 'S', 'T', 'U', 'V', 'W', 'X', 'Y', 'Z',
    // 251-254: the byte minus 128; 255 as '<'
    '{', '|', '}', '~', '<',
};

void translateName(const char* in, char* out, std::size_t outSize) {
    if (outSize == 0) return;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(in);
    std::size_t written = 0;
    while (*p != 0 && written + 1 < outSize) {
        unsigned char c = *p++;
        if (c >= firstDroppedByte && c <= lastDroppedByte) continue;
        if (c == dropWithNextByte) {
            if (*p != 0) ++p;
            continue;
        }
        out[written++] = static_cast<char>(nameTranslationTable[c]);
    }
    out[written] = '\0';
}
