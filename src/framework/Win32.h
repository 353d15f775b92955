// The system headers of the window layer and the few framework constants that Windows itself
// does not define (control-bar styles, frame title flags, status-bar pane styles).
#pragma once

#include <windows.h>
// The others need windows.h first.
#include <commctrl.h>
#include <commdlg.h>
#include <dbt.h>
#include <shellapi.h>

// Sent to a top-level window that moved to a monitor of another DPI (Windows 8.1 and later).
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

// Control-bar styles: kept by the bar itself, never passed on to the window.
constexpr DWORD CBRS_BORDER_TOP = 0x0200;
constexpr DWORD CBRS_ALIGN_BOTTOM = 0x8000;
constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;
constexpr DWORD CBRS_ALL = 0x0040FFFF;

// Frame title flags: add the document's name to the title, and put it first.
constexpr DWORD FWS_ADDTOTITLE = 0x8000;
constexpr DWORD FWS_PREFIXTITLE = 0x4000;

// Status-bar pane styles.
constexpr UINT SBPS_NORMAL = 0x0000;
constexpr UINT SBPS_STRETCH = 0x00080000;
constexpr UINT ID_SEPARATOR = 0;

// The ids the framework shares with the resources (standard commands, status bar, view pane),
// and the string ids of its own texts (application title, idle text, file filter).
#include "res/StringIds.h"
#include "res/resource.h"
using vesk::AFX_IDS_APP_TITLE;
using vesk::AFX_IDS_FILTER_ALL;
using vesk::AFX_IDS_IDLEMESSAGE;
