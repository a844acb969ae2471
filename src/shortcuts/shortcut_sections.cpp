/*
 * shortcuts/shortcut_sections.cpp -- the sections registered by a shortcut folder list.
 * Section kinds that this build does not carry out yet report so in the
 * debug log and let the run go on.
 */
#include "driver/handlers.h"

UINT fnShortcutSection(HWND hWnd, const char *lpszSection, const char *lpszName, UserInputStruct *lpUserInput, int nEntry)
{
    return fnNotYetHandled("fnShortcutSection", lpszSection, lpszName);
}

UINT fnShortcutFolderList(HWND hWnd, const char *lpszSection, UserInputStruct *lpUserInput, const char *lpszName)
{
    return fnNotYetHandled("fnShortcutFolderList", lpszSection, lpszName);
}
