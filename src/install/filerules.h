/*
 * install/filerules.h -- the rules of file installation that need no file
 * system: numbers read from all digits of a text, the flag letters of a
 * file-copy line, unique and backup names, the walk that creates a directory
 * tree level by level, the name a compressed file expands to, and the
 * mapping of comparison results and system errors to VerInstallFile bits and
 * messages. The file-system side hands in its tests as callbacks, so the
 * host tests drive every rule with fakes.
 */
#ifndef TG_INSTALL_FILERULES_H
#define TG_INSTALL_FILERULES_H

#include "common/tgtypes.h"
#include "install/ifstruct.h"

/*
 * The number made of every decimal digit of the text in order, other
 * characters skipped: "D1" is 1, "1,000" is 1000, a text without digits 0.
 * A number too large for 32 bits stays at 0xFFFFFFFF instead of wrapping.
 */
UINT fnReadDigitNumber(const char *lpszText);

/* TRUE for a path with a drive ("X:...") or a UNC path ("\\..."). */
BOOL fnIsAbsolutePath(const char *lpszPath);

/* A flag field holds at most this many characters (a leading "+" of field 1 not counted). */
#define CCH_FLAG_FIELD 4

/* One letter of a flag field and the mode it selects. */
struct FlagLetterStruct {
    char c;  /* upper case */
    UINT u;
};

/*
 * The letters of each place of the flag fields (a table ends with letter 0):
 * field 1's install mode, in-use action, version action and attribute
 * letter, field 2's copy mode (also the joined file's, after a "J") and
 * field 3's backup action. The letter that names a place's default is in
 * its table; any other letter the table lacks gives the default as well,
 * which the script checker reports.
 */
extern const FlagLetterStruct g_aInstallLetters[];
extern const FlagLetterStruct g_aInUseLetters[];
extern const FlagLetterStruct g_aVerActLetters[];
extern const FlagLetterStruct g_aAttribLetters[];
extern const FlagLetterStruct g_aCopyLetters[];
extern const FlagLetterStruct g_aBackupLetters[];

/* TRUE when the table holds letter c (case ignored), its code then to *lpuCode (may be NULL). */
BOOL fnFindFlagLetter(const FlagLetterStruct *lpTable, char c, UINT *lpuCode);

/*
 * Decodes the three flag fields of a file-copy line into the mode fields of
 * the record (uInstallMode, uInUseAction, uVerAction, bKeepAttrib, uCopyMode,
 * uJoinCopyMode, uJoinPart, uBackupAction, bRecurse). A leading "+" of field
 * 1 sets bRecurse and is not counted. FALSE when a field holds more than four
 * characters; the record's modes are then unspecified.
 */
BOOL fnDecodeFileFlags(const char *lpszFlags1, const char *lpszFlags2, const char *lpszFlags3, IFStruct *lpIF);

/* Tells whether a path names an existing file or directory. */
typedef BOOL (*PathExistsProc)(const char *lpszPath, void *lpContext);

/*
 * A free name for lpszName in lpszDir, under backup method uMethod
 * (BACKUP_ORIEXT tries "base.ORI", BACKUP_NOMOD "base.MOD", then the
 * numbered "base.{NN}.SAV.ext" from one above the highest number in use;
 * every other method goes to the numbered names at once). The full path goes
 * to lpszOut. Returns 1 when lpszDir\lpszName itself is free (it is then the
 * answer), 2 when another name was made, 0 when number 99 is taken or a name
 * would not fit in cchOut (lpszOut is then empty).
 */
int fnMakeUniqueName(const char *lpszDir, const char *lpszName, UINT uMethod, PathExistsProc pfnExists,
                     void *lpContext, char *lpszOut, size_t cchOut);

/* Creates one directory level; bLog asks for the installation-log line. */
typedef BOOL (*CreateDirProc)(const char *lpszDir, BOOL bLog, void *lpContext);

/*
 * Creates every missing level of lpszPath ('/' read as '\'): first the whole
 * path at once, else each prefix from the start, a bare drive ("C:") and the
 * server and share of a UNC path never created on their own, runs of
 * separators stepped over. Only the whole path is created with bLog. FALSE
 * at the first level that fails (or for a path too long to walk).
 */
BOOL fnWalkDirTree(const char *lpszPath, BOOL bLog, CreateDirProc pfnCreate, void *lpContext);

/*
 * The name a compressed file expands to, from its name and its first bytes
 * (cbHeader of them): for an "SZDD" file whose extension holds '_', byte 9
 * replaces the '_' of a three-character extension, and a shorter extension
 * is cut at its last '_'. Every other file, cabinets included (the system's
 * expansion copies them unchanged), keeps its name.
 */
void fnExpandedNameFromHeader(const char *lpszName, const BYTE *lpbHeader, size_t cbHeader, char *lpszOut,
                              size_t cchOut);

/* The message a VerInstallFile result calls for (1101, 1112-1118, 1132, 1133), 0 for none. */
UINT fnVifMessageId(DWORD dwVIF);

/* The conflict line of the version-conflict dialog (1134-1138): the highest mismatch bit wins; 0 for none. */
UINT fnConflictMessageId(DWORD dwVIF);

/* The VerInstallFile bits for a version comparison result (0 to 10) of a temporary copy. */
DWORD fnVerInfoToVif(int nCmp);

/*
 * The VerInstallFile bit for a system error met while writing a file: full
 * disk VIF_OUTOFSPACE, sharing and lock errors VIF_SHARINGVIOLATION, access
 * denied VIF_WRITEPROT on a read-only file and VIF_ACCESSVIOLATION otherwise,
 * a write-protected disk VIF_WRITEPROT, no memory VIF_OUTOFMEMORY; any other
 * error gives dwDefault.
 */
DWORD fnWriteErrorToVif(DWORD dwError, BOOL bReadOnly, DWORD dwDefault);

/*
 * The VerInstallFile bits for a result of the system's LZ copy: only -1 to -8
 * are errors (a large good copy may come back negative beyond them), so
 * anything else is 0.
 */
DWORD fnLzResultToVif(long lResult);

/* Codes of the existing-copy search (fnFindFileInfoVer) for the per-file driver. */
enum {
    FIND_INSTALL = 0,      /* install; delete the copy elsewhere afterwards */
    FIND_ABORT = 11,
    FIND_SKIP = 12,
    FIND_INTOCUR = 13,     /* install into the directory of the existing copy */
    FIND_KEEPOTHER = 14,   /* install; keep the copy elsewhere */
    FIND_BUFFTOOSMALL = 15,
    FIND_NORMAL = 16,
    FIND_INTODST = 17,     /* install into the line's directory; keep the copy elsewhere */
    FIND_INUSE = 18,       /* (driver) install under a unique name, replace at restart */
    FIND_AGAIN = 19        /* (search) ask the version API again */
};

/* What the search found out about one file. */
struct FindFactsStruct {
    DWORD dwVFF;            /* VerFindFile result bits */
    BOOL bSrcIsDest;        /* the source is the destination path itself */
    BOOL bSrcIsExisting;    /* the copy found is the source itself */
    BOOL bCurIsDstDir;      /* the copy found lies in the line's directory */
    BOOL bCurEmpty;
    BOOL bCurIsSourceDir;   /* the copy found lies in the run's source directory */
    BOOL bSameTimes;        /* source and copy found have equal last-write times */
    BOOL bCloseTried;       /* in: the holder was asked to close once already */
};

/* Questions of the search: the close-holder operation (TRUE/FALSE), dialogs 6 and 9 (their answers). */
enum { FINDASK_CLOSEHOLDER = 1, FINDASK_INUSE = 6, FINDASK_ELSEWHERE = 9 };
typedef UINT (*FindAskProc)(UINT uQuestion, void *lpContext);

/*
 * The search's decision for one file from the facts and the line's modes;
 * FIND_AGAIN when the search must start over (a holder was asked to close,
 * or "Try again"). *lpbCloseTried is set once the holder was asked.
 */
UINT fnFindCopyDecision(const FindFactsStruct *lpFacts, const IFStruct *lpIF, BOOL *lpbCloseTried,
                        FindAskProc pfnAsk, void *lpContext);

/* What the engine does on a version mismatch, before any question. */
enum { MISMATCH_SKIP = 12, MISMATCH_ABORT = 11, MISMATCH_FORCE = 1, MISMATCH_ASK = 0 };
UINT fnMismatchDecision(const IFStruct *lpIF, DWORD dwVIF);

/*
 * The meter's state between steps: the percentage and tick of the last
 * repaint ((DWORD)-1 before the first).
 */
struct MeterStepStruct {
    DWORD dwLastPct;
    DWORD dwLastTick;
};
/*
 * Whether the meter is repainted for file uFileNum of dwRange at tick dwNow:
 * when its percentage changes, 50 ms after the last repaint, or at the last
 * file (a repaint costs far more than a file's texts). Remembers the repaint.
 */
BOOL fnMeterStepDue(MeterStepStruct *lpStep, UINT uFileNum, DWORD dwRange, DWORD dwNow);

#endif
