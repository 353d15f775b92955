// What every language's dialog templates and menus share: the ids and the styles.
#pragma once
// The common controls need the window types first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include "resource.h"

// Every page is a borderless child form that the view shows and hides itself.
#define VESK_PAGE_STYLE DS_SETFONT | DS_FIXEDSYS | DS_CONTROL | WS_CHILD
#define VESK_DIALOG_FONT FONT 8, "MS Shell Dlg", 400, 0, 0x1
// The lists of the pages: report view, one row at a time, selection kept visible.
#define VESK_LIST_STYLE LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP
// The sliders: horizontal, with ticks on both sides.
#define VESK_SLIDER_STYLE TBS_HORZ | TBS_AUTOTICKS | TBS_BOTH | WS_TABSTOP
