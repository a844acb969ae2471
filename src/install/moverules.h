/*
 * install/moverules.h -- the rules of the move, rename and delete sections
 * that need no file system: the flag letters and the delay of a move line,
 * the tree word of a delete line, and the guard that keeps a wildcard or
 * tree operation away from a drive root, the Windows folder and the
 * program's own folder.
 */
#ifndef TG_INSTALL_MOVERULES_H
#define TG_INSTALL_MOVERULES_H

#include "common/tgtypes.h"
#include "install/ifstruct.h"

/* uMoveMode */
enum {
    MOVE_MOVE = 121,       /* copy, verify, then delete the source */
    MOVE_COPY = 122,       /* copy when the destination does not exist */
    MOVE_OVERWRITE = 123,  /* copy over the destination */
    MOVE_DELETE = 124,
    MOVE_RENAME = 125,
    MOVE_ASK = 132         /* the user chooses per file */
};

/* uInUseAction of a move line */
enum {
    MOVEINUSE_CLOSE = 120,    /* ask the holder to close once, then as restart */
    MOVEINUSE_SKIP = 130,     /* leave the file */
    MOVEINUSE_RESTART = 131,  /* replace or delete at restart */
    MOVEINUSE_ASK = 132       /* the in-use dialog */
};

/* uAttribMode and the missing-source-directory rule (kept in uBackupAction) */
enum {
    MOVEATTR_KEEP = 140,
    MOVEATTR_NORMAL = 141,
    MOVEDIR_PASSOVER = 145,
    MOVEDIR_GOON = 146
};

/*
 * Decodes the flags field of a move line (bPresent: the line has the field)
 * into uMoveMode, uInUseAction, uAttribMode, uBackupAction and bRecurse. A
 * missing field reads as "M"; a leading "+" sets bRecurse; only the first
 * four letters count.
 */
void fnDecodeMoveFlags(const char *lpszFlags, BOOL bPresent, IFStruct *lpIF);

/*
 * The delay field: n (from all its digits, after a leading "N" or "Y")
 * times 500 milliseconds, 0 for none, 100 when the field is missing. A
 * product too large stays just below INFINITE, so a sleep always ends.
 */
DWORD fnReadMoveDelay(const char *lpszText, BOOL bPresent);

/* The second field of a "[DeleteFiles]" line. */
enum {
    DELTREE_NONE = 0,
    DELTREE_TREE = 1,   /* "+" or "TREE": subdirectories too, and the directory itself */
    DELTREE_KEEP = 2    /* "TREEKEEP": the same, the top directory stays */
};
int fnDeleteTreeWord(const char *lpszText);

/* TRUE when the name part holds "*" or "?". */
BOOL fnHasWildcard(const char *lpszName);

/*
 * TRUE when a full directory path (no "." or ".." parts left) is one that a
 * wildcard or tree operation must never work in: empty, a drive root ("C:",
 * "C:\", "\\server\share"), the Windows folder or the program's folder
 * (g_szWinDir, g_szHomeDir), compared without regard to case or a trailing
 * backslash.
 */
BOOL fnIsGuardedDir(const char *lpszDir);

#endif
