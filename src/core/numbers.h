#pragma once

// Reads a number out of a text the way the C library's atoi does: leading white space
// skipped, an optional sign, then decimal digits up to the first other character; a text
// without digits gives 0. Unlike atoi it is defined for every input: a value beyond the
// range of int is clamped to INT_MIN or INT_MAX.
int readDecimal(const char* text);
