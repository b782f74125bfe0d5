#include "serverlist/master_download.h"

const char masterListUrl[] = "http://master.kestrelforge.net/serverlist.php";
const char tempListFile[] = "templist.txt";

void downloadServerList(const char*) {}
