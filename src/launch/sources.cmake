# launch: on core. Starting the installed game connected to an address, through the shell;
# it knows the install directory, and nothing of the window.
list(APPEND SB_PORTABLE_SOURCES launch/launch_text.cpp)
list(APPEND SB_WIN_SOURCES launch/launch.cpp)
