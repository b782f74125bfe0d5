list(APPEND SB_PORTABLE_SOURCES core/numbers.cpp core/address_key.cpp core/server_table.cpp core/install_dir_value.cpp)
list(APPEND SB_WIN_SOURCES core/browser.cpp core/clock.cpp core/install_dir.cpp)
