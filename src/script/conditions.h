/*
 * script/conditions.h -- conditions on script lines: the line test
 * "Left=Right,Instruction", the section conditions "SkipIfTrue:",
 * "ProcessIfTrue:" and the three file forms, and what a handler does next.
 */
#ifndef TG_SCRIPT_CONDITIONS_H
#define TG_SCRIPT_CONDITIONS_H

#include "common/tgtypes.h"

enum {
    IDTEST_NONE = 100,      /* no condition: process the line as it stands */
    IDTEST_GOON = 101,      /* a section condition held: go on with the next line */
    IDTEST_TRUE = 102,      /* the test passed: process the instruction */
    IDTEST_FALSE = 103,     /* the test failed or the line could not be read: skip it */
    IDTEST_SKIPREST = 104   /* stop reading this section */
};

/*
 * Tests one line (a buffer of CCH_LINE_BUF characters). A line test that
 * passes leaves the instruction behind the condition in the buffer; a line
 * that is no condition is left as it is.
 */
UINT fnInfTestIfTwoFields(char *lpszLine);

/* What fnNextRunLine found. */
enum {
    NEXTLINE_END = 0,     /* the end of the body, or an empty line */
    NEXTLINE_RUN = 1,     /* a line to carry out */
    NEXTLINE_ENDED = 2    /* a condition ended the section */
};

/*
 * The next line of a section body that its condition lets run, into
 * lpszLine (CCH_LINE_BUF characters, tested as fnInfTestIfTwoFields does),
 * with *lplpszPos moved behind it. Lines whose condition says skip are
 * passed over. The reading of most sections is one loop over this.
 */
int fnNextRunLine(const char **lplpszPos, char *lpszLine);

/* Tests a left and a right text; both buffers (CCH_FIELD_BUF each) are expanded in place. */
UINT fnInfTestField(char *lpszLeft, char *lpszRight);

/* 1 when a file-system search for the pattern (quotes removed, wildcards allowed) finds anything. */
BOOL fnFileOrDirExists(const char *lpszFileSpec);

#endif
