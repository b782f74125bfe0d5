#include "protocol/query_entry.h"

QueryTarget parseQueryEntry(const char* entry) { return QueryTarget{entry, defaultGamePort}; }
