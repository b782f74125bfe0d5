#pragma once

#include <cstdio>
#include <memory>

// A stream that closes itself on every path out of the function that opened it.
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

inline UniqueFile openFile(const char* path, const char* mode) { return UniqueFile(std::fopen(path, mode)); }
