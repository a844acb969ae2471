/*
 * tests/fuzz/fuzz_lint.cpp -- the script checker over arbitrary script
 * bytes, as tglint hands it a file: every finding names a known class with
 * its own severity, points into the line it shows, and the error count
 * returned is the number of errors reported.
 * Input: the script file's bytes (NULs, a scrambled form, long lines and a
 * missing last line break included).
 */
#include "fuzzcommon.h"

#include "lint/lint.h"

namespace {

struct TallyStruct {
    UINT cErrors;
    UINT uLastLine;
};

void fnCheckFinding(const LintFindingStruct *f, void *lpCtx)
{
    TallyStruct *t = (TallyStruct *)lpCtx;
    const LintCodeStruct *lpCode = fnFindLintCode(f->lpszCode);
    FUZZ_CHECK(lpCode && lpCode->nSeverity == f->nSeverity);
    FUZZ_CHECK(f->lpszText && strlen(f->lpszText) < 1024);
    FUZZ_CHECK(strcmp(f->lpszFile, "F.INF") == 0);
    /* findings come in the order of the text */
    FUZZ_CHECK(f->uLine >= t->uLastLine);
    t->uLastLine = f->uLine;
    if (f->uLine) {
        FUZZ_CHECK(f->uCol >= 1 && f->lpszLineText);
        FUZZ_CHECK(f->uCol - 1 <= f->cchLineText);
        for (size_t i = 0; i < f->cchLineText; i++)
            FUZZ_CHECK(f->lpszLineText[i] != '\r' && f->lpszLineText[i] != '\n');
    } else {
        FUZZ_CHECK(f->uCol == 0);
    }
    if (f->nSeverity == LINT_ERROR)
        t->cErrors++;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *lpData, size_t cbData)
{
    /* an exact-size heap copy, so a read past the script's end is seen */
    char *lpCopy = (char *)malloc(cbData ? cbData : 1);
    memcpy(lpCopy, lpData, cbData);
    TallyStruct t = {0, 0};
    UINT cErrors = fnLintScript("F.INF", lpCopy, cbData, fnCheckFinding, &t);
    FUZZ_CHECK(cErrors == t.cErrors);
    /* the checker leaves the bytes it was given as they were */
    FUZZ_CHECK(memcmp(lpCopy, lpData, cbData) == 0);
    free(lpCopy);
    return 0;
}
