list(APPEND SB_PORTABLE_SOURCES protocol/name_translation.cpp protocol/status_reply.cpp protocol/query_entry.cpp)
list(APPEND SB_WIN_SOURCES protocol/query_channel.cpp protocol/receiver.cpp)
