#pragma once

#include <windows.h>

#include <string>

// The few list-view operations the window's lists share, each one synchronous message.

// Inserts a row at index whose first cell is text; returns the new row's index, -1 when the
// list refused it.
int insertListRow(HWND list, int index, const std::string& text);
void setListCellText(HWND list, int row, int column, const std::string& text);

// The first row after the given one (-1: from the start) with the LVNI_ flags; -1 when none.
int nextListRow(HWND list, int after, UINT flags);
// Sets a row's LVIS_SELECTED and LVIS_FOCUSED bits (mask: which of them) to state.
void setListRowState(HWND list, int row, UINT mask, UINT state);

// The row at the top of the list's view.
int listTopRow(HWND list);
// Scrolls the list so that the row is at the top of its view, as far as the rows below it
// allow: a report view scrolls by whole rows, given in pixels, here the distance between the
// two rows' tops.
void scrollListToRow(HWND list, int row);
// The list's selection mark: the row a selection starts from; -1 for none.
int listSelectionMark(HWND list);

// A row's rectangle in the list's client area: part is LVIR_BOUNDS, LVIR_LABEL, ... False
// (and an empty rectangle) when there is no such row.
bool listRowRect(HWND list, int row, int part, RECT& rect);

// The width travels in the low 16 bits, so LVSCW_AUTOSIZE_USEHEADER (-2) arrives as 0xFFFE.
void setListColumnWidth(HWND list, int column, int width);

// Stretches the list's last column to the view's right edge unless it reaches it already:
// setting a width repaints the column headers (about 7 ms each under Wine's default theme)
// even when it changes nothing.
void stretchLastColumn(HWND list);
