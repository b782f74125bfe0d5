#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

// Fills the player list and info list from the server of a server-list row (-1: none).
void showServerDetails(int row);
// A reply has updated the row of the server with this address key: the pane's own server is
// shown anew on the pane's timer (paneRefillTimer), at most once per refill interval.
void followServerRow(HWND window, const std::string& key);
// The pane's timer: shows the pane's server again, keeping where its lists are scrolled to.
void refillPane(HWND window);
// The server list reported a change of a row: a change of its selection shows the row it
// picks; a change of a row's texts or focus leaves the pane alone (see pane_follow.h).
void followSelection(const NMLISTVIEW& change);
