/*
 * process/winmatch.h -- which window a title names: the text rule (a prefix
 * of a given length, or the whole text, without regard to case) and the
 * search order over top-level windows and their children. Portable: the
 * windows are reached through a small table the Windows side fills.
 */
#ifndef TG_PROCESS_WINMATCH_H
#define TG_PROCESS_WINMATCH_H

#include "common/tgtypes.h"

/*
 * TRUE when lpszText matches lpszTitle: with cchPrefix above 0 when its first
 * cchPrefix characters equal the title's, else when the whole text equals
 * it; case is ignored. An empty title matches nothing: untitled windows
 * (hidden helper windows among them) are always there.
 */
BOOL fnWindowTextMatches(const char *lpszText, const char *lpszTitle, size_t cchPrefix);

typedef BOOL (*WindowVisitProc)(void *hWnd, void *lpContext);

/* How the search reaches the windows; each enumerator stops when the visitor returns FALSE. */
struct WindowWalkStruct {
    void (*pfnEnumTop)(WindowVisitProc pfnVisit, void *lpContext);
    void (*pfnEnumChildren)(void *hParent, WindowVisitProc pfnVisit, void *lpContext);
    /* The window's text; FALSE when it cannot be read (a hung window). */
    BOOL (*pfnGetText)(void *hWnd, char *lpszText, size_t cchText);
    void *hSkip;  /* a window never taken (its children still are); NULL: none */
};

/*
 * The first window whose text matches: each top-level window in turn, and
 * when it does not match, its child windows. NULL when none does.
 */
void *fnFindWindowTextIn(const WindowWalkStruct *lpWalk, const char *lpszTitle, size_t cchPrefix);

#endif
