#include "serverlist/master_download.h"

void downloadServerList(const char*) {}
