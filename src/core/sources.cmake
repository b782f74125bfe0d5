# core: the bottom floor, which includes nothing of the program's above it. The server table,
# the clock and the pacing of queries, numbers and address keys, the install directory, small
# owners of handles, and the declarations of the two view operations (core/view.h) through
# which the floors above reach the window, which defines them.
list(APPEND SB_PORTABLE_SOURCES core/numbers.cpp core/address_key.cpp core/server_table.cpp core/install_dir_value.cpp)
list(APPEND SB_WIN_SOURCES core/clock.cpp core/install_dir.cpp)
