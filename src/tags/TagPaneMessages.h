// The messages by which the tag pane and the file list view talk, through
// the message seam, without knowing each other's classes. All are sent
// (SendMessage), never posted: the pointers they carry live only for the
// call.
#pragma once
#include "WinMessage.h"

// To the file list view: show the discs that carry every tag of the list
// (stored names: category tags by their English keys). lParam: a
// const QStringList*; an empty list means no tag filter. wParam: 0.
constexpr UINT WM_TAG_FILTER = WM_USER + 2012;

// To the tag pane: untick every row without telling the file list (a
// search starts). Returns 0.
constexpr UINT WM_TAG_CLEAR_FILTER = WM_USER + 2013;
// To the tag pane: hand the ticked tags to the file list again (the file
// list returns to its disc list). Returns 0.
constexpr UINT WM_TAG_APPLY_FILTER = WM_USER + 2014;
// To the tag pane: re-read the tags, keeping the ticks (the tags changed).
// Returns the HRESULT of the reload.
constexpr UINT WM_TAG_RELOAD = WM_USER + 2015;
