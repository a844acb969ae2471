/*
 * ui/input_sections.cpp -- the input sections: option buttons, questions, lists, user name and password, two directories, and the installation information sections.
 * Section kinds that this build does not carry out yet report so in the
 * debug log and let the run go on.
 */
#include "common/bounded.h"
#include "driver/handlers.h"

UINT fnInitOptionsSection(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    return fnNotYetHandled("fnInitOptionsSection", lpszSection, lpszName);
}

UINT fnInputDialog(HWND hWnd, int nNum, const char *lpszField, const char *lpszName, const char *lpszNextInf)
{
    return fnNotYetHandled("fnInputDialog", NULL, lpszName);
}

UINT fnGetUserPWSection(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    return fnNotYetHandled("fnGetUserPWSection", lpszSection, lpszName);
}

UINT fnGet2DirsSection(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    return fnNotYetHandled("fnGet2DirsSection", lpszSection, lpszName);
}

UINT fnGetUserInput(HWND hWnd, const char *lpszSection, UserInputStruct *lpUserInput, const char *lpszName)
{
    if (fnEqualNoCase(lpszName, "[ShortCuts]") || fnEqualNoCase(lpszName, "[PMGroups]"))
        return fnShortcutFolderList(hWnd, lpszSection, lpUserInput, lpszName);
    return fnNotYetHandled("fnGetUserInput", lpszSection, lpszName);
}
