# ui: the window, on every floor below it. Its process-wide handles (window_state), the main
# window and its message table (main_window), its children (controls), first place
# (placement) and tray icon (tray_icon); the server rows, held once (row_table), shown and
# sorted (server_rows), the server list's notifications (server_list_notify), the details
# pane (details), the commands and the clipboard (commands), the keys between the lists
# (list_keys), the check for a running copy (running_copy), the messages let through from
# processes with fewer rights (message_filter). It defines the view operations that
# core/view.h declares.
list(APPEND SB_PORTABLE_SOURCES ui/layout.cpp ui/row_compare.cpp ui/clipboard_text.cpp ui/pane_follow.cpp ui/row_table.cpp)
list(APPEND SB_UI_SOURCES ui/window_state.cpp ui/main_window.cpp ui/controls.cpp ui/placement.cpp ui/tray_icon.cpp
  ui/server_rows.cpp ui/server_list_notify.cpp ui/details.cpp ui/ansi_text.cpp ui/commands.cpp ui/list_view.cpp
  ui/list_keys.cpp ui/dpi.cpp ui/running_copy.cpp ui/message_filter.cpp)
