/*
 * lint/lintsections.cpp -- each section's lines as its reader takes them:
 * which lines name other sections (question sections of the input lists,
 * shortcut sections of the folder lists), and the common checks of every
 * instruction line.
 */
#include <string.h>

#include "common/bounded.h"
#include "lint/lintint.h"
#include "script/textmodel.h"

/* Input lists hold one question per line, at most this many. */
#define INPUT_QUESTIONS 9

void fnLintSectionLines(LintStruct *L, const char *lpszBody, int nReadAs)
{
    const LintHeaderStruct *h = &L->aHeaders[L->uHeader];
    BOOL bFolderList = nReadAs == SECTKIND_APPINIT &&
                       (fnEqualNoCase(h->szMatched, "[Shortcuts]") || fnEqualNoCase(h->szMatched, "[PMGroups]"));
    char szLine[CCH_LINE_BUF], szWork[CCH_LINE_BUF], szField[CCH_FIELD_BUF];
    const char *lpszPos = lpszBody;
    UINT uLine = 0;
    while (lpszPos && *lpszPos) {
        const char *lpszRaw;
        lpszPos = fnLintNextLine(lpszPos, szLine, sizeof(szLine), &lpszRaw);
        if (!lpszPos || !szLine[0] || !lpszRaw)
            break;
        uLine++;
        fnLintLineCommon(L, szLine, lpszRaw);
        fnCopyBounded(szWork, sizeof(szWork), szLine);
        if (nReadAs == SECTKIND_INPUT) {
            /* the list's n-th line names the n-th question; lines past the ninth are never asked */
            if (uLine > INPUT_QUESTIONS) {
                if (uLine == INPUT_QUESTIONS + 1)
                    fnLintReport(L, lpszRaw, "section-order",
                                 "an input list holds at most %u questions: this line and those after it are "
                                 "never asked",
                                 (UINT)INPUT_QUESTIONS);
                continue;
            }
            if (fnInfParseField(szWork, 1, szField, sizeof(szField)) && szField[0])
                fnLintNameSection(L, szField, fnLintFieldAt(lpszRaw, szLine, 1, 0), LINTREAD_QUESTION);
        } else if (bFolderList) {
            if (fnInfParseField(szWork, 0, szField, sizeof(szField)) && szField[0])
                fnLintNameSection(L, szField, lpszRaw, LINTREAD_SHORTCUT);
        }
    }
}
