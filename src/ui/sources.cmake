list(APPEND SB_PORTABLE_SOURCES ui/layout.cpp ui/row_compare.cpp ui/clipboard_text.cpp ui/pane_follow.cpp)
list(APPEND SB_UI_SOURCES ui/main_window.cpp ui/server_rows.cpp ui/details.cpp ui/commands.cpp ui/list_view.cpp ui/dpi.cpp
  ui/running_copy.cpp ui/list_keys.cpp)
