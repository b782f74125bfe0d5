#include "serverlist/list_jobs.h"

DWORD WINAPI runListJob(void*) { return 0; }
void startListJob(const char*) {}
void updateList() {}
void refreshList() {}
