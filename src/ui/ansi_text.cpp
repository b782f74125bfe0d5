#include "ui/ansi_text.h"

#include <windows.h>

std::wstring ansiToWide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::size_t ansiCutLength(const std::string& text, std::size_t limit) {
    if (text.size() <= limit) return text.size();
    // Where UTF-8 is the ANSI code page (an option of Windows 10 1903 and later), which
    // IsDBCSLeadByte does not know: the cut moves back over the continuation bytes.
    if (GetACP() == CP_UTF8) {
        std::size_t length = limit;
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
        return length;
    }
    std::size_t length = 0;
    while (length < limit) {
        const std::size_t next = length + (IsDBCSLeadByte(static_cast<BYTE>(text[length])) ? 2 : 1);
        if (next > limit) break;
        length = next;
    }
    return length;
}
