/*
 * config/lineedit.cpp -- the configuration-file line editor and value reader
 * of config/lineedit.h.
 *
 * Both first find the part of the file a line works on (its "region"): the
 * whole file, the lines behind a section header up to the line that ends the
 * section, or the block behind a marker line up to the next marker line. The
 * editor then finds the one line the key names and makes a single splice:
 * the text before it, the new text, the text after it. Only text replacement
 * (type R) touches several lines.
 *
 * Types, by their first letter:
 *   W, M, S  key=value lines of a "[section]" (W and M put a bare section name
 *            in brackets); M and S also want the sub-value in the value part
 *   F        key=value lines whose key part begins with the key's first word
 *   C, K, O  whole lines beginning with the key (K keeps a line added at the
 *            end without a line end; O with a sub-value works between marker lines)
 *   N        whole lines of an indented section
 *   B, X, L  whole lines anywhere holding the key (and the section text)
 *   R        text replacement within the lines of the section
 *   others   as W without the brackets
 */
#include "config/lineedit.h"

#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "common/tgfile.h"
#include "config/cfgtext.h"
#include "config/pathedit.h"
#include "driver/debuglog.h"
#include "driver/logwriters.h"

/* The lines a line works on. */
struct CfgRegionStruct {
    BOOL bFound;     /* the section (or marker) exists; always TRUE for the whole file */
    size_t nFirst;   /* first line examined */
    size_t nEnd;     /* the line that ends the region, or nLines */
    BOOL bEndLine;   /* nEnd is a line of the file (a header or marker), not the end */
};

/* Whether the line ends the section: a header, an unindented line, or the closing marker. */
static BOOL fnEndsRegion(const char *lpszLine, const char *lpszSection, char cType, const char *lpszMarker)
{
    if (lpszMarker)
        return fnBeginsNoCase(fnSkipBlanks(lpszLine), lpszMarker);
    if (cType == 'N')
        return lpszLine[0] && !strchr(" \t;#\r\n", lpszLine[0]);
    if (lpszSection[0] == '[')
        return fnSkipBlanks(lpszLine)[0] == '[';
    /* a section text without a bracket runs to the end of the file */
    return FALSE;
}

/*
 * Finds the region. Without a section text (and without a marker), and for
 * the types that look at every line (B, X, L), it is the whole file. A header
 * is a line that begins with the section text, after blanks except for the
 * indented sections (N) and text replacement (R).
 */
static BOOL fnFindRegion(const CfgTextStruct *lpCfg, const char *lpszSection, char cType, const char *lpszMarker,
                         CfgRegionStruct *lpRegion)
{
    lpRegion->bFound = FALSE;
    lpRegion->nFirst = 0;
    lpRegion->nEnd = lpCfg->nLines;
    lpRegion->bEndLine = FALSE;
    if (!lpszMarker && (!lpszSection[0] || strchr("BXL", cType))) {
        lpRegion->bFound = TRUE;
        return TRUE;
    }
    TextBufGuardStruct line;
    size_t n = 0;
    for (; n < lpCfg->nLines; n++) {
        if (!fnCfgLineText(lpCfg, n, &line.buf))
            return FALSE;
        const char *lpsz = line.buf.lpsz;
        BOOL bHeader = lpszMarker ? fnBeginsNoCase(fnSkipBlanks(lpsz), lpszMarker)
                                  : fnBeginsNoCase((cType == 'N' || cType == 'R') ? lpsz : fnSkipBlanks(lpsz),
                                                   lpszSection);
        if (bHeader)
            break;
    }
    if (n >= lpCfg->nLines)
        return TRUE;
    lpRegion->bFound = TRUE;
    lpRegion->nFirst = n + 1;
    for (n = n + 1; n < lpCfg->nLines; n++) {
        if (!fnCfgLineText(lpCfg, n, &line.buf))
            return FALSE;
        if (fnEndsRegion(line.buf.lpsz, lpszSection, cType, lpszMarker)) {
            lpRegion->nEnd = n;
            lpRegion->bEndLine = TRUE;
            break;
        }
    }
    return TRUE;
}

/* The key part (before the first "=") and value part of a line, both trimmed. */
static BOOL fnSplitKeyValue(const char *lpszLine, TextBufStruct *lpKey, TextBufStruct *lpValue)
{
    const char *lpszEq = strchr(lpszLine, '=');
    size_t cchKey = lpszEq ? (size_t)(lpszEq - lpszLine) : strlen(lpszLine);
    if (!fnCopyTrimmed(lpszLine, cchKey, lpKey))
        return FALSE;
    return lpszEq ? fnCopyTrimmed(lpszEq + 1, strlen(lpszEq + 1), lpValue) : fnCopyTrimmed("", 0, lpValue);
}

/* The prepared edit: effective section text, doubled texts, new line. */
struct EditSpecStruct {
    char cType;
    char cAction;
    BOOL bList;
    const char *lpszMarker;   /* the sub-value in marker mode (type O), else NULL */
    TextBufStruct sec, key, value, sub, firstWord, newLine, typeLog;
};

/* Whether the key, at the start of the line, is a whole word there ("SET TEMP" in "SET TEMP=x", not in "SET TEMPDIR=x"). */
static BOOL fnKeyEndsWord(const char *lpszLine, const char *lpszKey)
{
    size_t cchKey = strlen(lpszKey);
    char cNext = lpszLine[cchKey];
    char cLast = lpszKey[cchKey - 1];
    return !cNext || strchr("= \t", cNext) || strchr("= \t", cLast);
}

/* Match of one line: 0 none, 1 the key part begins with the key, 2 the key part is the key. */
static int fnLineMatches(const char *lpszLine, const EditSpecStruct *lpSpec, TextBufStruct *lpKeyPart,
                         TextBufStruct *lpValuePart, TextBufStruct *lpTrim)
{
    const char *lpszKey = fnTextBufText(&lpSpec->key);
    const char *lpszSec = fnTextBufText(&lpSpec->sec);
    if (!lpszKey[0])
        return 0;
    if (!fnCopyTrimmed(lpszLine, strlen(lpszLine), lpTrim))
        return 0;
    const char *lpszTrim = fnTextBufText(lpTrim);
    if (lpSpec->bList) {
        /* a list entry is the key alone or the new line's "key=value", whole */
        return (fnEqualNoCase(lpszTrim, lpszKey) || fnEqualNoCase(lpszTrim, fnTextBufText(&lpSpec->newLine))) ? 2 : 0;
    }
    switch (lpSpec->cType) {
    case 'C':
    case 'K':
    case 'N':
    case 'O':
        if (!fnBeginsNoCase(lpszTrim, lpszKey))
            return 0;
        return fnKeyEndsWord(lpszTrim, lpszKey) ? 2 : 1;
    case 'B':
        return (fnFindNoCase(lpszTrim, lpszKey) && (!lpszSec[0] || fnFindNoCase(lpszTrim, lpszSec))) ? 1 : 0;
    case 'X':
        return (fnFindNoCase(lpszTrim, lpszKey) && (!lpszSec[0] || fnBeginsNoCase(lpszTrim, lpszSec))) ? 1 : 0;
    case 'L':
        return (fnBeginsNoCase(lpszTrim, lpszSec) && fnFindNoCase(lpszTrim + strlen(lpszSec), lpszKey)) ? 1 : 0;
    default:
        break;
    }
    if (!fnSplitKeyValue(lpszTrim, lpKeyPart, lpValuePart))
        return 0;
    const char *lpszKeyPart = fnTextBufText(lpKeyPart);
    if (lpSpec->cType == 'F')
        return fnBeginsNoCase(lpszKeyPart, fnTextBufText(&lpSpec->firstWord)) ? 1 : 0;
    if (!fnBeginsNoCase(lpszKeyPart, lpszKey))
        return 0;
    if ((lpSpec->cType == 'M' || lpSpec->cType == 'S') && lpSpec->sub.cch &&
        !fnFindNoCase(fnTextBufText(lpValuePart), fnTextBufText(&lpSpec->sub)))
        return 0;
    return fnEqualNoCase(lpszKeyPart, lpszKey) ? 2 : 1;
}

/*
 * The line of the region the key names: the first line whose key is the key
 * itself (for whole lines: the key followed by "=", a blank or the end), else
 * the first whose key begins with it, so "shell" is not taken for "shellicon"
 * when both stand there and "DEVICE" still finds "DEVICEHIGH". Types B, X, L
 * and F take the first line that matches.
 * nEnd when there is none.
 */
static size_t fnFindMatch(const CfgTextStruct *lpCfg, const CfgRegionStruct *lpRegion, const EditSpecStruct *lpSpec)
{
    TextBufGuardStruct line, keyPart, valuePart, trim;
    size_t nPrefix = lpRegion->nEnd;
    for (size_t n = lpRegion->nFirst; n < lpRegion->nEnd; n++) {
        if (!fnCfgLineText(lpCfg, n, &line.buf))
            break;
        int nMatch = fnLineMatches(line.buf.lpsz, lpSpec, &keyPart.buf, &valuePart.buf, &trim.buf);
        if (nMatch == 2 || (nMatch == 1 && strchr("BXLF", lpSpec->cType)))
            return n;
        if (nMatch == 1 && nPrefix == lpRegion->nEnd)
            nPrefix = n;
    }
    return nPrefix;
}

/* Doubles every backslash of lpsz into lpBuf. */
static BOOL fnCopyDoubled(const char *lpsz, BOOL bDouble, TextBufStruct *lpBuf)
{
    fnTextBufReset(lpBuf);
    BOOL bOk = fnTextBufAppendN(lpBuf, "", 0);
    for (; bOk && *lpsz; lpsz++) {
        bOk = fnTextBufAppendN(lpBuf, lpsz, 1);
        if (bOk && bDouble && *lpsz == '\\')
            bOk = fnTextBufAppendN(lpBuf, lpsz, 1);
    }
    return bOk;
}

static void fnInitSpec(EditSpecStruct *lpSpec)
{
    fnTextBufInit(&lpSpec->sec);
    fnTextBufInit(&lpSpec->key);
    fnTextBufInit(&lpSpec->value);
    fnTextBufInit(&lpSpec->sub);
    fnTextBufInit(&lpSpec->firstWord);
    fnTextBufInit(&lpSpec->newLine);
    fnTextBufInit(&lpSpec->typeLog);
}

static void fnFreeSpec(EditSpecStruct *lpSpec)
{
    fnTextBufFree(&lpSpec->sec);
    fnTextBufFree(&lpSpec->key);
    fnTextBufFree(&lpSpec->value);
    fnTextBufFree(&lpSpec->sub);
    fnTextBufFree(&lpSpec->firstWord);
    fnTextBufFree(&lpSpec->newLine);
    fnTextBufFree(&lpSpec->typeLog);
}

static BOOL fnPrepareSpec(const IniEditStruct *lpEdit, EditSpecStruct *lpSpec)
{
    const char *lpszType = lpEdit->lpszType ? lpEdit->lpszType : "";
    lpSpec->bList = lpEdit->bList;
    /* a list is an INI section: its header in brackets, its entries whole lines */
    lpSpec->cType = lpEdit->bList ? 'W' : lpszType[0] ? fnUpperAscii(lpszType[0]) : 'W';
    lpSpec->cAction = lpEdit->cAction ? fnUpperAscii(lpEdit->cAction) : 'N';
    BOOL bDouble = lpszType[0] && lpszType[1] == '\\';
    const char *lpszSec = lpEdit->lpszSection ? lpEdit->lpszSection : "";
    const char *lpszSub = lpEdit->lpszSubValue ? lpEdit->lpszSubValue : "";
    BOOL bOk = fnCopyDoubled(lpEdit->lpszKey ? lpEdit->lpszKey : "", bDouble, &lpSpec->key) &&
               fnCopyDoubled(lpEdit->lpszValue ? lpEdit->lpszValue : "", bDouble, &lpSpec->value) &&
               fnCopyDoubled(lpszSub, FALSE, &lpSpec->sub);
    /* W and M name an INI section: "boot" stands for "[boot]" */
    if ((lpSpec->cType == 'W' || lpSpec->cType == 'M') && lpszSec[0] && lpszSec[0] != '[')
        bOk = bOk && fnTextBufAppend(&lpSpec->sec, "[") && fnTextBufAppend(&lpSpec->sec, lpszSec) &&
              fnTextBufAppend(&lpSpec->sec, "]");
    else
        bOk = bOk && fnTextBufAppendN(&lpSpec->sec, lpszSec, strlen(lpszSec));
    if (lpSpec->cType == 'L' && !lpszSec[0])
        lpSpec->cType = 'C';
    lpSpec->lpszMarker = (lpSpec->cType == 'O' && lpszSub[0]) ? fnTextBufText(&lpSpec->sub) : NULL;
    const char *lpszKey = fnTextBufText(&lpSpec->key);
    const char *lpszValue = fnTextBufText(&lpSpec->value);
    size_t cchWord = strcspn(lpszKey, " \t");
    bOk = bOk && fnTextBufAppendN(&lpSpec->firstWord, lpszKey, cchWord);
    switch (lpSpec->cType) {
    case 'C':
    case 'K':
    case 'N':
    case 'O':
        bOk = bOk && fnTextBufAppend(&lpSpec->newLine, lpszValue[0] ? lpszValue : lpszKey);
        break;
    case 'B':
    case 'X':
    case 'L':
        bOk = bOk && fnTextBufAppend(&lpSpec->newLine, lpszValue);
        break;
    default:
        bOk = bOk && fnTextBufAppend(&lpSpec->newLine, lpszKey);
        if (!lpSpec->bList || lpszValue[0])
            bOk = bOk && fnTextBufAppend(&lpSpec->newLine, "=") && fnTextBufAppend(&lpSpec->newLine, lpszValue);
        break;
    }
    /* the type as the installation log shows it: W, or M "himem.sys" */
    bOk = bOk && fnTextBufAppend(&lpSpec->typeLog, lpszType[0] ? lpszType : "W");
    if (lpszSub[0])
        bOk = bOk && fnTextBufAppend(&lpSpec->typeLog, " \"") && fnTextBufAppend(&lpSpec->typeLog, lpszSub) &&
              fnTextBufAppend(&lpSpec->typeLog, "\"");
    return bOk;
}

/* lpOut = text before nFrom, lpInsert, text from nTo on. */
static BOOL fnSplice(const CfgTextStruct *lpCfg, size_t nFrom, size_t nTo, const TextBufStruct *lpInsert,
                     TextBufStruct *lpOut)
{
    return fnTextBufAppendN(lpOut, lpCfg->lpText, nFrom) &&
           fnTextBufAppendN(lpOut, fnTextBufText(lpInsert), lpInsert->cch) &&
           fnTextBufAppendN(lpOut, lpCfg->lpText + nTo, lpCfg->cbText - nTo);
}

/* Byte position of line n's start; the end of the lines for nLines. */
static size_t fnLinePos(const CfgTextStruct *lpCfg, size_t n)
{
    return (n < lpCfg->nLines) ? lpCfg->lpLines[n].nStart : lpCfg->nBodyEnd;
}

/*
 * Inserts a block of whole lines before line nBefore. At the end of the file a
 * line end is written first when the last line has none, and type K's block
 * keeps no line end of its own there.
 */
static BOOL fnInsertBlock(const CfgTextStruct *lpCfg, size_t nBefore, TextBufStruct *lpBlock, char cType,
                          TextBufStruct *lpOut)
{
    size_t nAt = fnLinePos(lpCfg, nBefore);
    if (nAt == lpCfg->nBodyEnd) {
        char cLast = nAt ? lpCfg->lpText[nAt - 1] : '\n';
        if (cLast != '\n' && cLast != '\r' && !fnTextBufInsert(lpBlock, 0, lpCfg->lpszEol, strlen(lpCfg->lpszEol)))
            return FALSE;
        size_t cchEol = strlen(lpCfg->lpszEol);
        if (cType == 'K' && lpBlock->cch >= cchEol)
            lpBlock->lpsz[lpBlock->cch -= cchEol] = '\0';
    }
    return fnSplice(lpCfg, nAt, nAt, lpBlock, lpOut);
}

static void fnLogChange(const IniEditStruct *lpEdit, const EditSpecStruct *lpSpec, const char *lpszOld,
                        const char *lpszNew)
{
    fnWriteLog("%s, \"%s\", \"%s\", \"%s\"", FALSE, lpEdit->lpszFile ? lpEdit->lpszFile : "",
               fnTextBufText(&lpSpec->sec), fnTextBufText(&lpSpec->key), lpszOld);
    fnWriteLog(",\"%s\", %s", TRUE, lpszNew, fnTextBufText(&lpSpec->typeLog));
}

static void fnLogAdded(const IniEditStruct *lpEdit, const EditSpecStruct *lpSpec)
{
    fnWriteLog("%s, \"%s\", \"%s\", \"\",\"%s\", %s", TRUE, lpEdit->lpszFile ? lpEdit->lpszFile : "",
               fnTextBufText(&lpSpec->sec), fnTextBufText(&lpSpec->key), fnTextBufText(&lpSpec->newLine),
               fnTextBufText(&lpSpec->typeLog));
}

/* Type R: every occurrence of the key in every line of the region is replaced (D: such lines go). */
static BOOL fnReplaceText(const CfgTextStruct *lpCfg, const CfgRegionStruct *lpRegion, const IniEditStruct *lpEdit,
                          const EditSpecStruct *lpSpec, TextBufStruct *lpOut, BOOL *lpbChanged)
{
    const char *lpszKey = fnTextBufText(&lpSpec->key);
    const char *lpszValue = fnTextBufText(&lpSpec->value);
    size_t cchKey = strlen(lpszKey);
    TextBufGuardStruct line, built;
    size_t nCopied = 0;
    BOOL bOk = TRUE;
    if (lpRegion->bFound && cchKey && lpSpec->cAction != 'S') {
        for (size_t n = lpRegion->nFirst; bOk && n < lpRegion->nEnd; n++) {
            if (!fnCfgLineText(lpCfg, n, &line.buf))
                return FALSE;
            const char *lpszLine = line.buf.lpsz;
            if (!fnFindNoCase(lpszLine, lpszKey))
                continue;
            const CfgLineStruct *lpLine = &lpCfg->lpLines[n];
            fnTextBufReset(&built.buf);
            bOk = fnTextBufAppendN(&built.buf, "", 0);
            if (lpSpec->cAction != 'D') {
                /* the search goes on behind each replacement, so a value that holds the key is not replaced again */
                const char *lpsz = lpszLine;
                for (const char *lpszHit; bOk && (lpszHit = fnFindNoCase(lpsz, lpszKey)) != NULL;
                     lpsz = lpszHit + cchKey)
                    bOk = fnTextBufAppendN(&built.buf, lpsz, (size_t)(lpszHit - lpsz)) &&
                          fnTextBufAppend(&built.buf, lpszValue);
                bOk = bOk && fnTextBufAppend(&built.buf, lpsz) &&
                      fnTextBufAppendN(&built.buf, lpCfg->lpText + lpLine->nStart + lpLine->cchText, lpLine->cchEol);
            }
            bOk = bOk && fnTextBufAppendN(lpOut, lpCfg->lpText + nCopied, lpLine->nStart - nCopied) &&
                  fnTextBufAppendN(lpOut, fnTextBufText(&built.buf), built.buf.cch);
            nCopied = lpLine->nStart + lpLine->cchText + lpLine->cchEol;
            *lpbChanged = TRUE;
            size_t cchNew = built.buf.cch;
            while (cchNew && (built.buf.lpsz[cchNew - 1] == '\n' || built.buf.lpsz[cchNew - 1] == '\r'))
                built.buf.lpsz[--cchNew] = '\0';
            fnLogChange(lpEdit, lpSpec, lpszLine, fnTextBufText(&built.buf));
        }
    }
    return bOk && fnTextBufAppendN(lpOut, lpCfg->lpText + nCopied, lpCfg->cbText - nCopied);
}

/* The new line with a line end, as a block of its own. */
static BOOL fnNewLineBlock(const CfgTextStruct *lpCfg, const TextBufStruct *lpNewLine, TextBufStruct *lpBlock)
{
    return fnTextBufAppendN(lpBlock, fnTextBufText(lpNewLine), lpNewLine->cch) &&
           fnTextBufAppend(lpBlock, lpCfg->lpszEol);
}

/* A line matched: the action decides. */
static BOOL fnEditMatch(const CfgTextStruct *lpCfg, size_t nMatch, const IniEditStruct *lpEdit,
                        const EditSpecStruct *lpSpec, TextBufStruct *lpOut, BOOL *lpbChanged)
{
    const CfgLineStruct *lpLine = &lpCfg->lpLines[nMatch];
    TextBufGuardStruct old, block, keyPart, valuePart;
    if (!fnCfgLineText(lpCfg, nMatch, &old.buf))
        return FALSE;
    const char *lpszEol = lpCfg->lpText + lpLine->nStart + lpLine->cchText;
    BOOL bOk = TRUE;
    char cAction = lpSpec->cAction;
    if (lpSpec->bList && cAction != 'D')
        cAction = 'S';
    switch (cAction) {
    case 'S':
        return fnTextBufAppendN(lpOut, lpCfg->lpText, lpCfg->cbText);
    case 'D':
        bOk = fnSplice(lpCfg, lpLine->nStart, lpLine->nStart + lpLine->cchText + lpLine->cchEol, &block.buf, lpOut);
        fnLogChange(lpEdit, lpSpec, old.buf.lpsz, "");
        break;
    case 'A':
    case 'I':
        bOk = fnNewLineBlock(lpCfg, &lpSpec->newLine, &block.buf) &&
              fnInsertBlock(lpCfg, nMatch + (lpSpec->cAction == 'A' ? 1 : 0), &block.buf, lpSpec->cType, lpOut);
        fnLogChange(lpEdit, lpSpec, old.buf.lpsz, fnTextBufText(&lpSpec->newLine));
        break;
    default: {
        /* N and R replace the line; type S keeps the line's own spelling of its key */
        TextBufStruct *lpNew = &block.buf;
        if (lpSpec->cType == 'S' && lpSpec->cAction == 'N') {
            TextBufGuardStruct trim;
            bOk = fnCopyTrimmed(old.buf.lpsz, old.buf.cch, &trim.buf) &&
                  fnSplitKeyValue(trim.buf.lpsz, &keyPart.buf, &valuePart.buf) &&
                  fnTextBufAppend(lpNew, fnTextBufText(&keyPart.buf)) && fnTextBufAppend(lpNew, "=") &&
                  fnTextBufAppend(lpNew, fnTextBufText(&lpSpec->value));
        } else {
            bOk = fnTextBufAppend(lpNew, fnTextBufText(&lpSpec->newLine));
        }
        if (bOk && strcmp(fnTextBufText(lpNew), old.buf.lpsz) == 0)
            return fnTextBufAppendN(lpOut, lpCfg->lpText, lpCfg->cbText);
        fnLogChange(lpEdit, lpSpec, old.buf.lpsz, fnTextBufText(lpNew));
        bOk = bOk && fnTextBufAppendN(lpNew, lpszEol, lpLine->cchEol) &&
              fnSplice(lpCfg, lpLine->nStart, lpLine->nStart + lpLine->cchText + lpLine->cchEol, lpNew, lpOut);
        break;
    }
    }
    *lpbChanged = TRUE;
    return bOk;
}

/* No line matched: the new line goes where the type and the region say. */
static BOOL fnAddLine(const CfgTextStruct *lpCfg, const CfgRegionStruct *lpRegion, const IniEditStruct *lpEdit,
                      const EditSpecStruct *lpSpec, TextBufStruct *lpOut, BOOL *lpbChanged)
{
    TextBufGuardStruct block;
    const char *lpszEol = lpCfg->lpszEol;
    char cType = lpSpec->cType;
    char cPlace = fnUpperAscii(fnTextBufText(&lpSpec->sub)[0]);
    size_t nBefore = lpCfg->nLines;
    BOOL bOk = TRUE;
    if (!lpRegion->bFound) {
        /* the section is added at the end with its header (type K with placement T: at the top) */
        if (lpSpec->lpszMarker)
            bOk = fnTextBufAppend(&block.buf, lpSpec->lpszMarker) && fnTextBufAppend(&block.buf, lpszEol);
        if (cType == 'N' && lpCfg->nLines && !fnCfgLineIsBlank(lpCfg, lpCfg->nLines - 1))
            bOk = bOk && fnTextBufAppend(&block.buf, lpszEol);
        if (lpSpec->sec.cch)
            bOk = bOk && fnTextBufAppend(&block.buf, fnTextBufText(&lpSpec->sec)) &&
                  fnTextBufAppend(&block.buf, lpszEol);
        bOk = bOk && fnNewLineBlock(lpCfg, &lpSpec->newLine, &block.buf);
        if (cType == 'K' && cPlace == 'T')
            nBefore = 0;
    } else if (lpRegion->bEndLine) {
        /* before the line that ends the section, keeping an empty line before the next section */
        nBefore = lpRegion->nEnd;
        BOOL bBlankBefore = FALSE;
        if (!lpSpec->lpszMarker) {
            while (nBefore > lpRegion->nFirst && fnCfgLineIsBlank(lpCfg, nBefore - 1)) {
                nBefore--;
                bBlankBefore = TRUE;
            }
        }
        bOk = fnNewLineBlock(lpCfg, &lpSpec->newLine, &block.buf);
        if (!lpSpec->lpszMarker && !bBlankBefore)
            bOk = bOk && fnTextBufAppend(&block.buf, lpszEol);
    } else {
        bOk = fnNewLineBlock(lpCfg, &lpSpec->newLine, &block.buf);
        /* whole batch lines may go near the top, before Windows starts, or at the top */
        BOOL bWhole = !lpSpec->sec.cch || strchr("BXL", cType);
        if (bWhole && strchr("BCKL", cType)) {
            if (cPlace == 'A')
                nBefore = fnEchoOffPlace(lpCfg);
            else if (cPlace == 'B')
                nBefore = fnWindowsLine(lpCfg);
            else if (cPlace == 'T')
                nBefore = 0;
        }
    }
    bOk = bOk && fnInsertBlock(lpCfg, nBefore, &block.buf, cType, lpOut);
    fnLogAdded(lpEdit, lpSpec);
    *lpbChanged = TRUE;
    return bOk;
}

BOOL fnEditIniText(const char *lpText, size_t cbText, const IniEditStruct *lpEdit, TextBufStruct *lpOut,
                   BOOL *lpbChanged)
{
    *lpbChanged = FALSE;
    fnTextBufReset(lpOut);
    const char *lpszType = lpEdit->lpszType ? lpEdit->lpszType : "";
    if (fnUpperAscii(lpszType[0]) == 'P') {
        const char *lpszSub = lpEdit->lpszSubValue ? lpEdit->lpszSubValue : "";
        return fnEditPathText(lpText, cbText, lpEdit->lpszFile, lpEdit->lpszSection, lpEdit->lpszKey,
                              lpEdit->lpszValue, lpEdit->cAction, lpszSub[0] ? lpszSub[0] : 'E', lpOut, lpbChanged);
    }
    EditSpecStruct spec;
    fnInitSpec(&spec);
    CfgTextStruct cfg;
    BOOL bOk = fnPrepareSpec(lpEdit, &spec) && fnSplitCfgText(lpText, cbText, &cfg);
    if (bOk) {
        bOk = fnTextBufAppendN(lpOut, "", 0);
        CfgRegionStruct region;
        bOk = bOk && fnFindRegion(&cfg, fnTextBufText(&spec.sec), spec.cType, spec.lpszMarker, &region);
        if (bOk && spec.cType == 'R') {
            bOk = fnReplaceText(&cfg, &region, lpEdit, &spec, lpOut, lpbChanged);
        } else if (bOk) {
            size_t nMatch = region.bFound ? fnFindMatch(&cfg, &region, &spec) : region.nEnd;
            if (region.bFound && nMatch < region.nEnd)
                bOk = fnEditMatch(&cfg, nMatch, lpEdit, &spec, lpOut, lpbChanged);
            else if (spec.cAction != 'R' && spec.cAction != 'D')
                bOk = fnAddLine(&cfg, &region, lpEdit, &spec, lpOut, lpbChanged);
            else
                bOk = fnTextBufAppendN(lpOut, lpText, cbText);
        }
        fnFreeCfgText(&cfg);
    }
    fnDebugLog("fnEditIniText", "lpszFile=%s,\nlpszSection=%s,\nlpszKey=%s,\ncType=%c,\ncAction=%c,\nbChanged=%d,\n"
               "bOk=%d", g_uDebugLevel, lpEdit->lpszFile ? lpEdit->lpszFile : "", fnTextBufText(&spec.sec),
               fnTextBufText(&spec.key), spec.cType ? spec.cType : '?', spec.cAction ? spec.cAction : '?',
               *lpbChanged, bOk);
    fnFreeSpec(&spec);
    return bOk && !lpOut->bFailed;
}

BOOL fnEditIniFile(const IniEditStruct *lpEdit, const char *lpszTempFile, BOOL *lpbChanged)
{
    BOOL bChanged = FALSE;
    TextBufGuardStruct src, out;
    DWORD dwError = 0;
    BOOL bOk = fnReadWholeFile(lpEdit->lpszFile, &src.buf, &dwError);
    if (!bOk) {
        fnDebugLog("fnEditIniLine", "Cannot read %s,\ndwError=%lu", g_uDebugLevel, lpEdit->lpszFile,
                   (unsigned long)dwError);
    } else {
        bOk = fnEditIniText(src.buf.lpsz, src.buf.cch, lpEdit, &out.buf, &bChanged);
        if (bOk && !fnWriteWholeFile(lpszTempFile, out.buf.lpsz, out.buf.cch)) {
            fnDebugLog("fnEditIniLine", "Cannot write %s,\ndwError=%lu", g_uDebugLevel, lpszTempFile,
                       (unsigned long)fnFileLastError());
            bOk = FALSE;
        }
    }
    if (lpbChanged)
        *lpbChanged = bChanged;
    return bOk;
}

BOOL fnEditIniLine(const char *lpszFile, const char *lpszTempFile, const char *lpszSection, const char *lpszKey,
                   const char *lpszValue, const char *lpszType, const char *lpszAction, const char *lpszSubValue,
                   BOOL *lpbChanged)
{
    IniEditStruct edit = {lpszFile, lpszSection, lpszKey, lpszValue, lpszType,
                          (lpszAction && lpszAction[0]) ? lpszAction[0] : 'N', lpszSubValue, FALSE};
    return fnEditIniFile(&edit, lpszTempFile, lpbChanged);
}

/*
 * Reading rules, for the first line of the region that matches:
 *   F, O   the line (after blanks) begins with the key: the text behind the key and one separator
 *   C, N   the line begins with the key: the text behind the key, without one leading "="
 *   P      a PATH statement: its value
 *   M, S   key part begins with the key and the value part holds the sub-value: the value part
 *   others key part begins with the key: the value part
 * A line where the key is a whole word (the key itself) wins over an earlier
 * line where it only begins a longer word.
 */
BOOL fnReadCfgValueText(const char *lpText, size_t cbText, const char *lpszSection, const char *lpszKey,
                        const char *lpszType, const char *lpszSubValue, TextBufStruct *lpOut)
{
    fnTextBufReset(lpOut);
    fnTextBufAppendN(lpOut, "", 0);
    if (!lpszKey || !lpszKey[0])
        return FALSE;
    IniEditStruct edit = {"", lpszSection, lpszKey, "", lpszType, 'N', lpszSubValue, FALSE};
    EditSpecStruct spec;
    fnInitSpec(&spec);
    CfgTextStruct cfg;
    BOOL bFound = FALSE;
    if (fnPrepareSpec(&edit, &spec) && fnSplitCfgText(lpText, cbText, &cfg)) {
        CfgRegionStruct region;
        TextBufGuardStruct line, keyPart, valuePart, trim;
        char cType = spec.cType;
        size_t cchKey = strlen(lpszKey);
        BOOL bExact = FALSE;
        if (fnFindRegion(&cfg, fnTextBufText(&spec.sec), cType, spec.lpszMarker, &region) && region.bFound) {
            for (size_t n = region.nFirst; !bExact && n < region.nEnd; n++) {
                if (!fnCfgLineText(&cfg, n, &line.buf))
                    break;
                const char *lpsz = fnSkipBlanks(line.buf.lpsz);
                if (cType == 'P') {
                    size_t cchHead = fnPathStatementHead(lpsz, "PATH");
                    if (cchHead) {
                        fnCopyTrimmed(lpsz + cchHead, strlen(lpsz + cchHead), lpOut);
                        break;
                    }
                    continue;
                }
                if (strchr("FOCN", cType)) {
                    if (!fnBeginsNoCase(lpsz, lpszKey))
                        continue;
                    const char *lpszRest = lpsz + cchKey;
                    if (cType == 'F' || cType == 'O')
                        lpszRest += (*lpszRest ? 1 : 0);
                    else if (*lpszRest == '=')
                        lpszRest++;
                    bExact = fnKeyEndsWord(lpsz, lpszKey);
                    if (bExact || !bFound) {
                        fnCopyTrimmed(lpszRest, strlen(lpszRest), lpOut);
                        bFound = TRUE;
                    }
                    continue;
                }
                if (!fnCopyTrimmed(lpsz, strlen(lpsz), &trim.buf) ||
                    !fnSplitKeyValue(trim.buf.lpsz, &keyPart.buf, &valuePart.buf))
                    break;
                const char *lpszKeyPart = fnTextBufText(&keyPart.buf);
                if (!fnBeginsNoCase(lpszKeyPart, lpszKey))
                    continue;
                if ((cType == 'M' || cType == 'S') && spec.sub.cch &&
                    !fnFindNoCase(fnTextBufText(&valuePart.buf), fnTextBufText(&spec.sub)))
                    continue;
                /* the first line whose key is the key itself wins over an earlier longer key */
                bExact = fnEqualNoCase(lpszKeyPart, lpszKey);
                if (bExact || !bFound) {
                    fnTextBufReset(lpOut);
                    fnTextBufAppend(lpOut, fnTextBufText(&valuePart.buf));
                    bFound = TRUE;
                }
            }
        }
        fnFreeCfgText(&cfg);
    }
    fnFreeSpec(&spec);
    return lpOut->cch > 0 && !lpOut->bFailed;
}

BOOL fnReadCfgValue(const char *lpszFile, const char *lpszSection, const char *lpszKey, const char *lpszType,
                    const char *lpszSubValue, TextBufStruct *lpOut)
{
    TextBufGuardStruct src;
    if (!fnReadWholeFile(lpszFile, &src.buf, NULL)) {
        fnTextBufReset(lpOut);
        return FALSE;
    }
    return fnReadCfgValueText(src.buf.lpsz, src.buf.cch, lpszSection, lpszKey, lpszType, lpszSubValue, lpOut);
}
