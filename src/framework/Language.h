// The user interface's language on Windows: which one is shown, and the templates and menus
// in it.
#pragma once

#include "framework/Win32.h"

// Chooses the language from the user's UI languages (the thread's preferred list, then the
// user's default) and the system's ANSI code page. The first instance calls it once, before
// its first window and before any other thread starts.
void AfxChooseUserInterfaceLanguage();

// The resource of `type` and `id` in the language shown; the English one where that language
// has none. Null when there is neither.
const void* AfxLoadLocalizedResource(LPCSTR type, UINT id);

// A dialog template or menu of the language shown.
const DLGTEMPLATE* AfxLoadDialogTemplate(UINT id);
HMENU AfxLoadLocalizedMenu(UINT id);
