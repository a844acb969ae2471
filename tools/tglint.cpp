/*
 * tools/tglint.cpp -- the script checker for administrators: reads scripts
 * as setup32 reads them and reports, compiler style, what a run would get
 * silently wrong.
 *
 *   tglint [--format=text|json] [-Wno-CODE]... SCRIPT...
 *
 * Each finding is "FILE:LINE:COL: error|warning|note: TEXT [CODE]" with the
 * line and a caret under the place, or one JSON array of objects with
 * --format=json. -Wno-CODE turns a class of warnings or notes off. Exit code
 * 0 when no error was found, 1 when one was, 2 when a script could not be
 * read or the command line is wrong.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "lint/lint.h"

namespace {

#define MAX_SCRIPT_READ (64u * 1024u * 1024u)

struct ToolStruct {
    BOOL bJson;
    BOOL bFirstJson;
    const char *alpszOff[64];
    int cOff;
    UINT acBySeverity[3];
};

const char *const s_alpszSeverity[3] = {"note", "warning", "error"};

BOOL fnIsOff(const ToolStruct *t, const char *lpszCode)
{
    for (int i = 0; i < t->cOff; i++) {
        if (strcmp(t->alpszOff[i], lpszCode) == 0)
            return TRUE;
    }
    return FALSE;
}

/* Writes a text as a JSON string; bytes above 127 are taken as Latin-1. */
void fnJsonString(const char *lpsz, size_t cch)
{
    putchar('"');
    for (size_t i = 0; i < cch; i++) {
        unsigned char c = (unsigned char)lpsz[i];
        if (c == '"' || c == '\\')
            printf("\\%c", c);
        else if (c < 0x20 || c >= 0x7f)
            printf("\\u%04x", c);
        else
            putchar(c);
    }
    putchar('"');
}

/* The line with a caret under column uCol; long lines are shown around the place. */
void fnShowLine(const LintFindingStruct *f)
{
    const size_t cchShow = 160;
    size_t cchCol = f->uCol ? f->uCol - 1 : 0;
    size_t cchFrom = 0;
    if (f->cchLineText > cchShow && cchCol > cchShow / 2)
        cchFrom = cchCol - cchShow / 2;
    size_t cchTo = f->cchLineText;
    if (cchTo - cchFrom > cchShow)
        cchTo = cchFrom + cchShow;
    char szNumber[16];
    snprintf(szNumber, sizeof(szNumber), "%u", f->uLine);
    printf(" %s | %s", szNumber, cchFrom ? "..." : "");
    for (size_t i = cchFrom; i < cchTo; i++) {
        unsigned char c = (unsigned char)f->lpszLineText[i];
        putchar(c == '\t' || c >= 0x20 ? c : '?');
    }
    printf("%s\n %*s | %s", cchTo < f->cchLineText ? "..." : "", (int)strlen(szNumber), "", cchFrom ? "   " : "");
    for (size_t i = cchFrom; i < cchCol && i < cchTo + 1; i++)
        putchar(i < f->cchLineText && f->lpszLineText[i] == '\t' ? '\t' : ' ');
    printf("^\n");
}

void fnReport(const LintFindingStruct *f, void *lpCtx)
{
    ToolStruct *t = (ToolStruct *)lpCtx;
    if (f->nSeverity != LINT_ERROR && fnIsOff(t, f->lpszCode))
        return;
    t->acBySeverity[f->nSeverity]++;
    if (t->bJson) {
        printf("%s\n  {\"file\": ", t->bFirstJson ? "" : ",");
        t->bFirstJson = FALSE;
        fnJsonString(f->lpszFile, strlen(f->lpszFile));
        printf(", \"line\": %u, \"column\": %u, \"severity\": \"%s\", \"code\": \"%s\", \"message\": ", f->uLine,
               f->uCol, s_alpszSeverity[f->nSeverity], f->lpszCode);
        fnJsonString(f->lpszText, strlen(f->lpszText));
        printf("}");
        return;
    }
    if (f->uLine)
        printf("%s:%u:%u: %s: %s [%s]\n", f->lpszFile, f->uLine, f->uCol, s_alpszSeverity[f->nSeverity], f->lpszText,
               f->lpszCode);
    else
        printf("%s: %s: %s [%s]\n", f->lpszFile, s_alpszSeverity[f->nSeverity], f->lpszText, f->lpszCode);
    if (f->uLine && f->lpszLineText)
        fnShowLine(f);
}

/* The whole file in a new block (*lpcb bytes); NULL when it cannot be read. */
char *fnReadWhole(const char *lpszFile, size_t *lpcb)
{
    FILE *lpFile = fopen(lpszFile, "rb");
    if (!lpFile)
        return NULL;
    size_t cbMax = 65536, cb = 0;
    char *lpData = (char *)malloc(cbMax);
    while (lpData) {
        size_t cbRead = fread(lpData + cb, 1, cbMax - cb, lpFile);
        cb += cbRead;
        if (cb < cbMax) {
            if (ferror(lpFile)) {
                free(lpData);
                lpData = NULL;
            }
            break;
        }
        if (cbMax >= MAX_SCRIPT_READ) {
            free(lpData);
            lpData = NULL;
            break;
        }
        char *lpNew = (char *)realloc(lpData, cbMax * 2);
        if (!lpNew)
            free(lpData);
        lpData = lpNew;
        cbMax *= 2;
    }
    fclose(lpFile);
    *lpcb = cb;
    return lpData;
}

void fnUsage(FILE *lpOut)
{
    fprintf(lpOut, "usage: tglint [--format=text|json] [-Wno-CODE]... SCRIPT...\n"
                   "Checks setup32 scripts; exit 0 no error, 1 errors found, 2 a script could not be read.\n"
                   "Codes (errors cannot be turned off):\n");
    for (const LintCodeStruct *c = g_aLintCodes; c->lpszCode; c++)
        fprintf(lpOut, "  %-22s %-7s %s\n", c->lpszCode, s_alpszSeverity[c->nSeverity], c->lpszWhat);
}

} // namespace

int main(int argc, char **argv)
{
    ToolStruct tool;
    memset(&tool, 0, sizeof(tool));
    tool.bFirstJson = TRUE;
    int cFiles = 0;
    for (int i = 1; i < argc; i++) {
        const char *a = argv[i];
        if (strcmp(a, "--help") == 0 || strcmp(a, "-h") == 0) {
            fnUsage(stdout);
            return 0;
        }
        if (strcmp(a, "--format=json") == 0) {
            tool.bJson = TRUE;
        } else if (strcmp(a, "--format=text") == 0) {
            tool.bJson = FALSE;
        } else if (strncmp(a, "-Wno-", 5) == 0) {
            const LintCodeStruct *lpCode = fnFindLintCode(a + 5);
            if (!lpCode || lpCode->nSeverity == LINT_ERROR) {
                fprintf(stderr, "tglint: %s: %s\n", a,
                        lpCode ? "errors cannot be turned off" : "no such warning (see tglint --help)");
                return 2;
            }
            if (tool.cOff < (int)(sizeof(tool.alpszOff) / sizeof(tool.alpszOff[0])))
                tool.alpszOff[tool.cOff++] = a + 5;
        } else if (a[0] == '-' && a[1]) {
            fprintf(stderr, "tglint: unknown option %s\n", a);
            fnUsage(stderr);
            return 2;
        } else {
            cFiles++;
        }
    }
    if (!cFiles) {
        fnUsage(stderr);
        return 2;
    }
    if (tool.bJson)
        printf("[");
    BOOL bUnreadable = FALSE;
    UINT cErrors = 0;
    for (int i = 1; i < argc; i++) {
        if (argv[i][0] == '-' && argv[i][1])
            continue;
        size_t cb = 0;
        char *lpData = fnReadWhole(argv[i], &cb);
        if (!lpData) {
            fprintf(stderr, "tglint: %s: cannot be read\n", argv[i]);
            bUnreadable = TRUE;
            continue;
        }
        cErrors += fnLintScript(argv[i], lpData, cb, fnReport, &tool);
        free(lpData);
    }
    if (tool.bJson)
        printf("%s]\n", tool.bFirstJson ? "" : "\n");
    else if (tool.acBySeverity[0] + tool.acBySeverity[1] + tool.acBySeverity[2])
        fprintf(stderr, "tglint: %u error%s, %u warning%s, %u note%s\n", tool.acBySeverity[2],
                tool.acBySeverity[2] == 1 ? "" : "s", tool.acBySeverity[1], tool.acBySeverity[1] == 1 ? "" : "s",
                tool.acBySeverity[0], tool.acBySeverity[0] == 1 ? "" : "s");
    if (bUnreadable)
        return 2;
    return cErrors ? 1 : 0;
}
