# protocol: on core. The query channel and the status query, the receiver thread and the
# parsing of status replies into the server table, the translation of player names.
list(APPEND SB_PORTABLE_SOURCES protocol/name_translation.cpp protocol/status_reply.cpp protocol/query_entry.cpp)
list(APPEND SB_WIN_SOURCES protocol/query_channel.cpp protocol/receiver.cpp)
