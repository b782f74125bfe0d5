#include "serverlist/list_reader.h"

void readServerList(const char*) {}
