list(APPEND SB_PORTABLE_SOURCES core/numbers.cpp core/address_key.cpp core/server_table.cpp)
list(APPEND SB_WIN_SOURCES core/browser.cpp core/clock.cpp)
