/*
 * process/linehead.cpp -- the line-head test and the button words of the
 * program and close sections.
 */
#include "process/linehead.h"

#include "common/bounded.h"
#include "script/conditions.h"
#include "script/textmodel.h"

UINT fnTestLineHead(const char *lpszLine, BOOL *lpbMissing)
{
    *lpbMissing = FALSE;
    /* the field cutter may change the line it reads ("A==B"): work on a copy */
    char szWork[CCH_LINE_BUF], szLeft[CCH_FIELD_BUF], szRight[CCH_FIELD_BUF];
    fnCopyBounded(szWork, sizeof(szWork), lpszLine);
    BOOL bLeft = fnInfParseField(szWork, 0, szLeft, sizeof(szLeft));
    fnCopyBounded(szWork, sizeof(szWork), lpszLine);
    if (!fnInfParseField(szWork, 1, szRight, sizeof(szRight)) && bLeft) {
        *lpbMissing = TRUE;
        return IDTEST_FALSE;
    }
    return fnInfTestField(szLeft, szRight);
}

UINT fnButtonWordType(const char *lpszWord)
{
    static const struct {
        const char *lpszWord;
        UINT uType;
    } s_aWords[] = {{"OK", 104}, {"OKCANCEL", 101}, {"YESNO", 102}, {"OKEXIT", 103}};
    for (const auto &w : s_aWords)
        if (fnEqualNoCase(lpszWord, w.lpszWord))
            return w.uType;
    return 102;
}
