#include "ui/clipboard_text.h"

#include <cstdio>

namespace {

std::string cutToBuffer(const std::string& text, int bufferSize) {
    return text.substr(0, static_cast<std::size_t>(bufferSize - 1));
}

}  // namespace

std::string buildClipboardText(int kind, const ClipboardCells& texts) {
    const std::string address = cutToBuffer(texts.address, addressTextSize);
    if (address.empty()) return {};

    char buffer[clipboardTextSize];
    int written = -1;
    switch (kind) {
    case copyAddressKind:
        written = std::snprintf(buffer, sizeof buffer, "%s", address.c_str());
        break;
    case copyUrlKind:
        written = std::snprintf(buffer, sizeof buffer, "tarnwick://%s", address.c_str());
        break;
    case copyFullInfoKind: {
        const std::string name = cutToBuffer(texts.serverName, serverNameTextSize);
        const std::string ping = cutToBuffer(texts.ping, pingTextSize);
        const std::string map = cutToBuffer(texts.map, mapTextSize);
        const std::string players = cutToBuffer(texts.players, playersTextSize);
        written = std::snprintf(buffer, sizeof buffer, "%s %s %s %s %s", address.c_str(), name.c_str(),
                                ping.c_str(), map.c_str(), players.c_str());
        break;
    }
    default:
        return {};
    }
    if (written < 0) return {};
    // Names come from the network: a carriage return or another control character would act
    // when the text is pasted into a console, so each becomes a blank.
    std::string text = buffer;
    for (char& c : text)
        if (static_cast<unsigned char>(c) < ' ') c = ' ';
    return text;
}
