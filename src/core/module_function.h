#pragma once

#include <windows.h>

// A function of a loaded DLL, looked up by name at run time, as the given pointer type; null
// when the DLL does not have it (an older Windows, say).
template <typename Function>
Function moduleFunction(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
