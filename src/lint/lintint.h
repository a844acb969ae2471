/*
 * lint/lintint.h -- what the checker's parts share: the state of one check,
 * the ways a section's lines are read, reporting at a place in the text and
 * recording which sections a line names. Internal to src/lint.
 */
#ifndef TG_LINT_LINTINT_H
#define TG_LINT_LINTINT_H

#include "driver/sectionlists.h"
#include "lint/lint.h"
#include "script/keytable.h"

/* How a section's lines are read: the dispatch kinds, then sections read by name. */
enum {
    LINTREAD_CONFIG = SECTKIND_COUNT,  /* "[Config]", by the loader */
    LINTREAD_INSTALLOPTIONS,           /* "[Install Options]" */
    LINTREAD_SIGNON,                   /* "[Signon]" */
    LINTREAD_QUESTION,                 /* one question, named by an input list */
    LINTREAD_SHORTCUT,                 /* shortcut lines, registered by a folder list */
    LINTREAD_DISKS,                    /* disk labels of a disk copy */
    LINTREAD_DIRS,                     /* a directory list named by the installation information */
    LINTREAD_PLAIN,                    /* read by name, lines taken as they stand */
    LINTREAD_APPINIT,                  /* "[AppInit]", the installation information */
    LINTREAD_NONE = -1
};

/* One section header of the script. */
struct LintHeaderStruct {
    const char *lpszHeader;   /* its '[' */
    const char *lpszNext;     /* the next header, NULL for the last */
    char szName[CCH_PATH];    /* up to and including the first ']'; empty when the line has none */
    char szMatched[CCH_PATH]; /* the list's spelling when a list takes it */
    const char *lpszHeaderText;  /* text after the ']' on the header line, NULL when none */
    int nKind;                /* SECTKIND_..., -1 when no list takes it */
    int nReadAs;              /* LINTREAD_... or a kind once its lines were read; LINTREAD_NONE */
    BOOL bAfterEnd;
};

/* A section that a line names. */
struct LintRefStruct {
    char szName[CCH_PATH];
    const char *lpszAt;       /* where the name stands */
    int nReadAs;              /* how the named section's lines are read */
    UINT uHeader;             /* index of the header that names it */
    UINT fRef;                /* LINTREF_... */
};

/* How a named section is looked up. */
enum {
    LINTREF_AFTER = 0x01,     /* in the text after the naming section only */
    LINTREF_OPTIONAL = 0x02   /* a default name: a script without the section is no fault */
};

/* A finding held until the check ends, so they are handed out in the order of the text. */
struct LintHeldStruct {
    LintFindingStruct f;
    UINT uSeq;
    char szText[512];
};

struct LintStruct {
    const char *lpszFile;
    char *lpszText;           /* the plain text, NUL-terminated, writable (sections are cut in place) */
    size_t cchText;
    size_t *acLineStart;      /* offset of each physical line */
    UINT cLines;
    LintReportProc pfnReport;
    void *lpCtx;
    UINT cErrors;
    LintHeldStruct *aHeld;
    UINT cHeld, cHeldMax;
    LintHeaderStruct *aHeaders;
    UINT cHeaders;
    LintRefStruct *aRefs;
    UINT cRefs, cRefsMax;
    UINT uHeader;             /* the header whose lines are being read */
    /* the field being expanded, for the expander's notes */
    const char *lpszFieldRaw; /* the instruction line in the text */
    const char *lpszFieldLine;/* the same line as read */
    const char *lpszFieldBuf; /* the field being expanded */
    const char *lpszFieldText;/* the field as cut, before expansion */
    int nField;
};

/* Reports at lpszAt (a place in L->lpszText; NULL for the whole file). */
void fnLintReport(LintStruct *L, const char *lpszAt, const char *lpszCode, const char *lpszFormat, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 4, 5)))
#endif
    ;

/*
 * Records that the line at lpszAt names section lpszName (brackets added
 * when missing). Questions and shortcut sections are looked up after the
 * naming section; fRef adds LINTREF_... rules.
 */
void fnLintNameSection(LintStruct *L, const char *lpszName, const char *lpszAt, int nReadAs, UINT fRef = 0);

/* Where character cchAt of field nField of the line read from lpszRaw stands in the text. */
const char *fnLintFieldAt(const char *lpszRaw, const char *lpszLine, int nField, size_t cchAt);

/* The nearest entry to lpszWord among the table's keys (case ignored), or NULL when none is near. */
const char *fnLintNearestKey(const SectionKeyStruct *lpKeys, const char *lpszWord);
/* Edit distance of two words, case ignored. */
UINT fnLintDistance(const char *lpszA, const char *lpszB);

/*
 * The checks every instruction line gets: quotes, parentheses, the options
 * and inline functions of each field. lpszLine is the line as read, lpszRaw
 * where it stands in the text.
 */
void fnLintLineCommon(LintStruct *L, const char *lpszLine, const char *lpszRaw);

/*
 * The checks of one section's lines as its reader takes them (nReadAs):
 * keys, keywords, fields and flag letters, and the sections it names.
 * lpszBody is the first line after the header.
 */
void fnLintSectionLines(LintStruct *L, const char *lpszBody, int nReadAs);

/* The next instruction line from lpszPos as the text model reads it; *lplpszRaw is where it stands. */
const char *fnLintNextLine(const char *lpszPos, char *lpszLine, size_t cchLine, const char **lplpszRaw);

#endif
