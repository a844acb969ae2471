/*
 * lint/lint.h -- the script checker behind tglint: reads a script as the
 * program does (the loader's size and scrambled form, the text model, the
 * dispatch table's name lists, each section reader's key table and the
 * option expander) and reports what would go silently wrong in a run: a key
 * that ends its section, a header whose body is never found, a section no
 * handler takes, option text the expander cannot read, and more. Portable.
 */
#ifndef TG_LINT_LINT_H
#define TG_LINT_LINT_H

#include "common/tgtypes.h"

enum { LINT_NOTE = 0, LINT_WARNING = 1, LINT_ERROR = 2 };

/* One finding, as handed to the caller's report function. */
struct LintFindingStruct {
    const char *lpszFile;
    UINT uLine;                /* from 1; 0 for the file as a whole */
    UINT uCol;                 /* from 1, in bytes; 0 with uLine 0 */
    int nSeverity;             /* LINT_... */
    const char *lpszCode;      /* the finding's class, as in g_aLintCodes */
    const char *lpszText;      /* the message */
    const char *lpszLineText;  /* the line the finding points into (not terminated) */
    size_t cchLineText;
};

typedef void (*LintReportProc)(const LintFindingStruct *lpFinding, void *lpCtx);

/* The classes of finding: code, severity and what it means. Ends with a NULL code. */
struct LintCodeStruct {
    const char *lpszCode;
    int nSeverity;
    const char *lpszWhat;
};
extern const LintCodeStruct g_aLintCodes[];

/* The class with this code; NULL when there is none. */
const LintCodeStruct *fnFindLintCode(const char *lpszCode);

/*
 * Checks one script given as the bytes of its file (cbData of them, NULs
 * allowed) and hands every finding to pfnReport in the order of the text.
 * lpszFile names the script in the findings. Returns the number of errors.
 * Uses the run-wide option stores and the option character while it works
 * and puts back the machine table and the expander's settings it found.
 */
UINT fnLintScript(const char *lpszFile, const char *lpData, size_t cbData, LintReportProc pfnReport, void *lpCtx);

#endif
