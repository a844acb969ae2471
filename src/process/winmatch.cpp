/*
 * process/winmatch.cpp -- the window title rule and the search order of
 * fnFindWindowText, apart from the system's window enumeration.
 */
#include "process/winmatch.h"

#include <string.h>

#include "common/bounded.h"

BOOL fnWindowTextMatches(const char *lpszText, const char *lpszTitle, size_t cchPrefix)
{
    if (!lpszTitle || !lpszTitle[0])
        return FALSE;
    if (cchPrefix)
        return fnPrefixNoCase(lpszText, lpszTitle, cchPrefix);
    return fnEqualNoCase(lpszText, lpszTitle);
}

struct WindowSearchStruct {
    const WindowWalkStruct *lpWalk;
    const char *lpszTitle;
    size_t cchPrefix;
    void *hFound;
};

static BOOL fnMatches(WindowSearchStruct *lpSearch, void *hWnd)
{
    char szText[CCH_PATH];
    if (hWnd == lpSearch->lpWalk->hSkip)
        return FALSE;
    if (!lpSearch->lpWalk->pfnGetText(hWnd, szText, sizeof(szText)))
        return FALSE;
    return fnWindowTextMatches(szText, lpSearch->lpszTitle, lpSearch->cchPrefix);
}

static BOOL fnVisitChild(void *hWnd, void *lpContext)
{
    WindowSearchStruct *lpSearch = (WindowSearchStruct *)lpContext;
    if (!fnMatches(lpSearch, hWnd))
        return TRUE;
    lpSearch->hFound = hWnd;
    return FALSE;
}

static BOOL fnVisitTop(void *hWnd, void *lpContext)
{
    WindowSearchStruct *lpSearch = (WindowSearchStruct *)lpContext;
    if (fnMatches(lpSearch, hWnd)) {
        lpSearch->hFound = hWnd;
        return FALSE;
    }
    lpSearch->lpWalk->pfnEnumChildren(hWnd, fnVisitChild, lpSearch);
    return lpSearch->hFound == NULL;
}

void *fnFindWindowTextIn(const WindowWalkStruct *lpWalk, const char *lpszTitle, size_t cchPrefix)
{
    if (!lpszTitle || !lpszTitle[0])
        return NULL;
    WindowSearchStruct search = {lpWalk, lpszTitle, cchPrefix, NULL};
    lpWalk->pfnEnumTop(fnVisitTop, &search);
    return search.hFound;
}
