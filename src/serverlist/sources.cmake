# serverlist: on protocol and core. The list file reader, the master list's download into
# templist.txt, and the Update and Refresh jobs that query every server a list names.
list(APPEND SB_PORTABLE_SOURCES serverlist/list_reader.cpp serverlist/list_request.cpp)
list(APPEND SB_WIN_SOURCES serverlist/server_list.cpp serverlist/master_download.cpp serverlist/list_jobs.cpp)
