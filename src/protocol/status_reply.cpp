#include "protocol/status_reply.h"

int splitFields(const std::string&, char, std::vector<std::string>& out) {
    out.clear();
    return 0;
}
bool parseStatusReply(const char*, int, StatusReply&) { return false; }
void applyStatusReply(ServerRecord&, const StatusReply&, std::uint32_t) {}
