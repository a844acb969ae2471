/*
 * shortcuts/linkrules.h -- how one line of a shortcut section becomes the
 * parts of a shell link: the standard and the group line formats, hot keys,
 * window words and the link file's name. Pure text work plus option
 * expansion and the line's condition; nothing here touches a file.
 */
#ifndef TG_SHORTCUTS_LINKRULES_H
#define TG_SHORTCUTS_LINKRULES_H

#include "common/tgtypes.h"

#define SHORTCUT_SKIP_IT "-SKIP-IT-"   /* the folder of an entry the user declined */
#define SHORTCUT_REMOVE "-REMOVE-"     /* a target that deletes the link instead */

/* Window of a started shortcut, as the shell's show commands number them. */
enum {
    LINKSHOW_NORMAL = 1,
    LINKSHOW_MIN = 2,
    LINKSHOW_MAX = 3
};

/* The parts of one shortcut line after expansion. */
struct ShortcutLineStruct {
    char szName[CCH_PATH];
    char szTarget[CCH_PATH];
    char szArgs[CCH_FIELD_BUF];
    char szIcon[CCH_PATH];
    char szWorkDir[CCH_PATH];
    int nIconIndex;
    int nShow;
    WORD wHotKey;
    BOOL bRemove;       /* the target was "-REMOVE-" */
};

/* What a shortcut line asks for. */
enum {
    LINKLINE_BAD = 0,       /* no name, a required field missing, or a value cut: the section fails */
    LINKLINE_MAKE = 1,      /* make (or, with bRemove, delete) the link */
    LINKLINE_SKIP = 2,      /* the line's condition passes it over */
    LINKLINE_END = 3,       /* the line's condition ends the section */
    LINKLINE_NOTARGET = 4   /* a name but no target: no shortcut is made */
};

/*
 * Reads one trimmed line (a CCH_LINE_BUF buffer, changed by the field reader)
 * in the standard format, or with bGroup in the group format. A line with a
 * key part is conditional: its key and first value go to the field test and
 * the shortcut's fields start one place later. Fills *lpLink and returns a
 * LINKLINE_... code.
 */
UINT fnReadShortcutLine(char *lpszLine, BOOL bGroup, ShortcutLineStruct *lpLink);

/*
 * Hot key of a field: leading letters S (Shift), C (Ctrl), A (Alt), E
 * (extended), any case, then the decimal virtual-key code. The code goes into
 * the low byte and the modifier bits Shift 1, Ctrl 2, Alt 4, extended 8 into
 * the high byte. A code above 255 (it would spill into the modifiers), other
 * characters, or no digits give 0 (no hot key).
 */
WORD fnParseHotKey(const char *lpszText);

/* "MIN" 2, "MAX" 3, anything else (also "NORM" and empty) 1. */
int fnParseShowWord(const char *lpszText);

/*
 * Link file path: folder + "\" + name + ".lnk". FALSE when the name is empty
 * or holds a character a file name cannot hold (: * ? " < > | /), or when the
 * path would be cut at cchOut.
 */
BOOL fnMakeLinkPath(const char *lpszFolder, const char *lpszName, char *lpszOut, size_t cchOut);

#endif
