list(APPEND SB_PORTABLE_SOURCES launch/launch_text.cpp)
list(APPEND SB_WIN_SOURCES launch/launch.cpp)
