list(APPEND SB_PORTABLE_SOURCES serverlist/list_reader.cpp serverlist/list_request.cpp)
list(APPEND SB_WIN_SOURCES serverlist/server_list.cpp serverlist/master_download.cpp serverlist/list_jobs.cpp)
