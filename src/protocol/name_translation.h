#pragma once

#include <cstddef>

// Output byte for every input byte of a player name; entry 0 is never consulted.
extern const unsigned char nameTranslationTable[256];

// Translates a zero-terminated player name into printable text: bytes 133 to 135 are
// dropped, 136 is dropped together with the byte after it, every other byte goes through
// nameTranslationTable. The output is cut to outSize - 1 characters and always terminated.
void translateName(const char* in, char* out, std::size_t outSize);
