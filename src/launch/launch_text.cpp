#include "launch/launch_text.h"

const wchar_t gameExecutableName[] = L"tarnwick.exe";

namespace {

// What a buffer of launchTextSize characters keeps of a text: its first 255.
std::wstring cutToBuffer(std::wstring text) {
    if (text.size() > launchTextSize - 1) text.resize(launchTextSize - 1);
    return text;
}

}  // namespace

std::wstring buildGamePath(const std::wstring& installDir) {
    // The directory is taken as it is: one ending in a backslash gives two in a row.
    return cutToBuffer(installDir + L"\\" + gameExecutableName);
}

std::wstring buildConnectParameters(const char* address) {
    std::wstring parameters = L" +connect ";
    for (const char* c = address ? address : ""; *c; ++c) parameters += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    return cutToBuffer(parameters);
}
