#include "protocol/name_translation.h"

const unsigned char nameTranslationTable[256] = {};

void translateName(const char*, char* out, std::size_t outSize) {
    if (outSize > 0) out[0] = '\0';
}
