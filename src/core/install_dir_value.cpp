#include "core/install_dir.h"

std::wstring installDirOfValue(const wchar_t* chars, std::size_t count) {
    if (count > 0 && chars[count - 1] == L'\0') --count;
    if (count >= installDirectorySize) return {};
    // Up to the first zero, as the launcher reads it.
    return std::wstring(chars, count).c_str();
}
