#include "core/server_table.h"
#include "core/view.h"

void updateServerRow(const std::string&, const ServerRowFields&) {}
