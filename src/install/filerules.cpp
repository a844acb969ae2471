/*
 * install/filerules.cpp -- file installation rules without file access:
 * digits, flag letters, unique names, the directory walk, expanded names and
 * the result mappings. See filerules.h for each contract.
 */
#include "install/filerules.h"

#include <string.h>

#include "common/bounded.h"
#include "common/records.h"
#include "script/pathtext.h"

UINT fnReadDigitNumber(const char *lpszText)
{
    UINT u = 0;
    for (const char *p = lpszText ? lpszText : ""; *p; p++) {
        if (*p < '0' || *p > '9')
            continue;
        UINT uDigit = (UINT)(*p - '0');
        if (u > (0xFFFFFFFFu - uDigit) / 10)
            return 0xFFFFFFFFu;
        u = u * 10 + uDigit;
    }
    return u;
}

BOOL fnIsAbsolutePath(const char *lpszPath)
{
    if (!lpszPath || !lpszPath[0])
        return FALSE;
    return lpszPath[1] == ':' || (lpszPath[0] == '\\' && lpszPath[1] == '\\') ||
           (lpszPath[0] == '/' && lpszPath[1] == '/');
}

/*
 * The letters of each place in the flag fields and the mode each selects.
 * A letter a table lacks gives the place's default; the letter that names
 * the default stands in the table too, so the script checker can tell a
 * slip of the pen from a chosen default.
 */
const FlagLetterStruct g_aInstallLetters[] = {
    {'N', INSTALL_NORMAL}, {'S', INSTALL_CHECK}, {'V', INSTALL_VERSION},    {'T', INSTALL_DATE},
    {'M', INSTALL_MIXED},  {'A', INSTALL_ASIS},  {'U', INSTALL_ASIS},       {'R', INSTALL_DIRECTJOIN},
    {'K', INSTALL_KEEPATTRIB}, {0, 0}};
const FlagLetterStruct g_aInUseLetters[] = {
    {'P', INUSE_PROMPT}, {'N', INUSE_PROMPT}, {'C', INUSE_CLOSE}, {'R', INUSE_RESTART}, {'S', INUSE_SKIP}, {0, 0}};
const FlagLetterStruct g_aVerActLetters[] = {
    {'N', VERACT_PROMPT}, {'P', VERACT_PROMPT}, {'C', VERACT_CANCEL}, {'I', VERACT_IGNORE}, {'K', VERACT_KEEP}, {0, 0}};
const FlagLetterStruct g_aAttribLetters[] = {{'N', FALSE}, {'K', TRUE}, {0, 0}};
const FlagLetterStruct g_aCopyLetters[] = {
    {'N', COPY_NORMAL}, {'D', COPY_D},      {'R', COPY_R},       {'S', COPY_SKIP},   {'V', COPY_V},    {'F', COPY_FORCE},
    {'C', COPY_CLEAN},  {'P', COPY_PROMPT}, {'?', COPY_Q},       {'W', COPY_WINDIR}, {'J', COPY_JOIN}, {0, 0}};
const FlagLetterStruct g_aBackupLetters[] = {
    {'N', BACKACT_OVERWRITE}, {'B', BACKACT_BACKUP}, {'U', BACKACT_UNIQUE}, {'S', BACKACT_SKIP},
    {'P', BACKACT_PROMPT},    {'K', BACKACT_KEEP},   {0, 0}};

BOOL fnFindFlagLetter(const FlagLetterStruct *lpTable, char c, UINT *lpuCode)
{
    char cUp = fnUpperAscii(c);
    for (; cUp && lpTable->c; lpTable++) {
        if (lpTable->c == cUp) {
            if (lpuCode)
                *lpuCode = lpTable->u;
            return TRUE;
        }
    }
    return FALSE;
}

namespace {

/* The code of letter i of the text, or the default when the text is shorter or the table lacks the letter. */
UINT fnLetterAt(const char *lpszText, size_t i, const FlagLetterStruct *lpTable, UINT uDefault)
{
    UINT u = uDefault;
    if (strlen(lpszText) > i)
        fnFindFlagLetter(lpTable, lpszText[i], &u);
    return u;
}

/* rc with the answer copied out, or 0 with an empty output when it does not fit */
int fnUniqueAnswer(char *lpszOut, size_t cchOut, const char *lpszPath, int nRC)
{
    if (fnCopyBounded(lpszOut, cchOut, lpszPath))
        return nRC;
    lpszOut[0] = '\0';
    return 0;
}

}  // namespace

BOOL fnDecodeFileFlags(const char *lpszFlags1, const char *lpszFlags2, const char *lpszFlags3, IFStruct *lpIF)
{
    const char *f1 = lpszFlags1 ? lpszFlags1 : "";
    const char *f2 = lpszFlags2 ? lpszFlags2 : "";
    const char *f3 = lpszFlags3 ? lpszFlags3 : "";
    lpIF->bRecurse = FALSE;
    if (*f1 == '+') {
        lpIF->bRecurse = TRUE;
        f1++;
    }
    if (strlen(f1) > CCH_FLAG_FIELD || strlen(f2) > CCH_FLAG_FIELD || strlen(f3) > CCH_FLAG_FIELD)
        return FALSE;
    lpIF->uInstallMode = fnLetterAt(f1, 0, g_aInstallLetters, INSTALL_NORMAL);
    lpIF->uInUseAction = fnLetterAt(f1, 1, g_aInUseLetters, INUSE_PROMPT);
    lpIF->uVerAction = fnLetterAt(f1, 2, g_aVerActLetters, VERACT_PROMPT);
    lpIF->bKeepAttrib = fnLetterAt(f1, 3, g_aAttribLetters, FALSE);
    lpIF->uCopyMode = fnLetterAt(f2, 0, g_aCopyLetters, COPY_NORMAL);
    lpIF->uJoinCopyMode = COPY_NORMAL;
    lpIF->uJoinPart = JOIN_NONE;
    if (lpIF->uCopyMode == COPY_JOIN) {
        /* the joined file is installed with any copy mode but another join */
        UINT uJoinCopy = fnLetterAt(f2, 1, g_aCopyLetters, COPY_NORMAL);
        lpIF->uJoinCopyMode = uJoinCopy == COPY_JOIN ? (UINT)COPY_NORMAL : uJoinCopy;
        if (strlen(f2) > 2) {
            UINT uPart = fnReadDigitNumber(f2 + 2);
            lpIF->uJoinPart = uPart == 0 ? JOIN_LAST : uPart == 1 ? JOIN_FIRST : JOIN_MIDDLE;
        }
    }
    lpIF->uBackupAction = fnLetterAt(f3, 0, g_aBackupLetters, BACKACT_OVERWRITE);
    return TRUE;
}

int fnMakeUniqueName(const char *lpszDir, const char *lpszName, UINT uMethod, PathExistsProc pfnExists,
                     void *lpContext, char *lpszOut, size_t cchOut)
{
    char szTarget[CCH_PATH];
    lpszOut[0] = '\0';
    if (!fnJoinPath(szTarget, sizeof(szTarget), lpszDir, lpszName))
        return 0;
    if (!pfnExists(szTarget, lpContext))
        return fnUniqueAnswer(lpszOut, cchOut, szTarget, 1);

    /* the name's own directory part stays; base and extension come from its last component */
    char szNameDir[CCH_PATH], szLast[CCH_PATH];
    fnCopyBounded(szNameDir, sizeof(szNameDir), lpszName);
    char *lpszSep = strrchr(szNameDir, '\\');
    char *lpszSlash = strrchr(szNameDir, '/');
    if (lpszSlash && (!lpszSep || lpszSlash > lpszSep))
        lpszSep = lpszSlash;
    if (lpszSep) {
        fnCopyBounded(szLast, sizeof(szLast), lpszSep + 1);
        *lpszSep = '\0';
    } else {
        fnCopyBounded(szLast, sizeof(szLast), szNameDir);
        szNameDir[0] = '\0';
    }
    char szDir[CCH_PATH];
    if (!fnJoinPath(szDir, sizeof(szDir), lpszDir, szNameDir))
        return 0;
    /* the base is the name without its last extension: "A.B.TXT" keeps "A.B" */
    char szBase[CCH_PATH], szExt[CCH_PATH];
    fnCopyBounded(szBase, sizeof(szBase), szLast);
    szExt[0] = '\0';
    char *lpszDot = strrchr(szBase, '.');
    BOOL bHasExt = lpszDot && lpszDot != szBase;
    if (bHasExt) {
        fnCopyBounded(szExt, sizeof(szExt), lpszDot + 1);
        *lpszDot = '\0';
    }

    char szName[CCH_PATH], szCandidate[CCH_PATH];
    if (uMethod == BACKUP_ORIEXT || uMethod == BACKUP_NOMOD) {
        fnFormatBounded(szName, sizeof(szName), "%s.%s", szBase, uMethod == BACKUP_ORIEXT ? "ORI" : "MOD");
        if (!fnJoinPath(szCandidate, sizeof(szCandidate), szDir, szName))
            return 0;
        if (!pfnExists(szCandidate, lpContext))
            return fnUniqueAnswer(lpszOut, cchOut, szCandidate, 2);
    }

    /* numbered names, scanned downward: the answer is one above the highest number in use */
    if (strlen(szBase) > 24)
        szBase[24] = '\0';
    char szFree[CCH_PATH];
    szFree[0] = '\0';
    for (int n = 99; n >= 0; n--) {
        if (bHasExt)
            fnFormatBounded(szName, sizeof(szName), "%s.{%02d}.SAV.%s", szBase, n, szExt);
        else
            fnFormatBounded(szName, sizeof(szName), "%s.{%02d}.SAV.", szBase, n);
        if (!fnJoinPath(szCandidate, sizeof(szCandidate), szDir, szName))
            return 0;
        if (pfnExists(szCandidate, lpContext))
            break;
        fnCopyBounded(szFree, sizeof(szFree), szCandidate);
    }
    if (!szFree[0])
        return 0;
    return fnUniqueAnswer(lpszOut, cchOut, szFree, 2);
}

BOOL fnWalkDirTree(const char *lpszPath, BOOL bLog, CreateDirProc pfnCreate, void *lpContext)
{
    char szPath[CCH_PATH];
    if (!fnCopyBounded(szPath, sizeof(szPath), lpszPath ? lpszPath : ""))
        return FALSE;
    for (char *p = szPath; *p; p++)
        if (*p == '/')
            *p = '\\';
    if (!szPath[0])
        return TRUE;
    if (pfnCreate(szPath, bLog, lpContext))
        return TRUE;

    size_t n = strlen(szPath);
    size_t nLast = n;  /* end of the whole path without trailing separators */
    while (nLast > 0 && szPath[nLast - 1] == '\\')
        nLast--;
    size_t i = 0;
    if (szPath[0] == '\\' && szPath[1] == '\\') {
        /* a server and its share cannot be created: begin behind "\\server\share\" */
        i = 2;
        for (int nPart = 0; nPart < 2; nPart++) {
            while (i < n && szPath[i] == '\\')
                i++;
            while (i < n && szPath[i] != '\\')
                i++;
        }
        while (i < n && szPath[i] == '\\')
            i++;
    }
    for (; i <= n; i++) {
        if (i < n && szPath[i] != '\\')
            continue;
        if (i == 0 || szPath[i - 1] == '\\')
            continue;  /* a leading separator or a run of them */
        if (i < 3 && szPath[1] == ':')
            continue;  /* a bare drive: take it with the next level */
        char c = szPath[i];
        szPath[i] = '\0';
        BOOL bOk = pfnCreate(szPath, bLog && i >= nLast, lpContext);
        szPath[i] = c;
        if (!bOk)
            return FALSE;
        if (i >= nLast)
            break;
    }
    return TRUE;
}

void fnExpandedNameFromHeader(const char *lpszName, const BYTE *lpbHeader, size_t cbHeader, char *lpszOut,
                              size_t cchOut)
{
    fnCopyBounded(lpszOut, cchOut, lpszName);
    const char *lpszLast = lpszName;
    for (const char *p = lpszName; *p; p++)
        if (*p == '\\' || *p == '/' || *p == ':')
            lpszLast = p + 1;
    const char *lpszDot = strrchr(lpszLast, '.');
    if (!lpszDot || !strchr(lpszDot, '_'))
        return;
    if (cbHeader < 10 || memcmp(lpbHeader, "SZDD", 4) != 0)
        return;  /* cabinets and anything else keep their names */
    size_t cchExt = strlen(lpszDot + 1);
    size_t nDot = (size_t)(lpszDot - lpszName);
    char cLast = (char)lpbHeader[9];
    if (cchExt == 3 && lpszDot[3] == '_' && cLast && nDot + 3 < cchOut) {
        lpszOut[nDot + 3] = cLast;
        return;
    }
    char *lpszCut = strrchr(lpszOut, '_');
    if (lpszCut && lpszCut > lpszOut + nDot)
        *lpszCut = '\0';
}

UINT fnVifMessageId(DWORD dwVIF)
{
    /* in this order, a later bit overriding an earlier one */
    static const struct {
        DWORD dwBit;
        UINT uId;
    } s_order[] = {{VIF_CANNOTCREATE, 1115},  {VIF_CANNOTDELETE, 1116},     {VIF_CANNOTRENAME, 1117},
                   {VIF_OUTOFSPACE, 1112},    {VIF_ACCESSVIOLATION, 1113},  {VIF_SHARINGVIOLATION, 1114},
                   {VIF_FILEINUSE, 1101},     {VIF_OUTOFMEMORY, 1118},      {VIF_CANNOTREADDST, 1132},
                   {VIF_WRITEPROT, 1133}};
    UINT uId = 0;
    for (const auto &o : s_order)
        if (dwVIF & o.dwBit)
            uId = o.uId;
    return uId;
}

UINT fnConflictMessageId(DWORD dwVIF)
{
    static const struct {
        DWORD dwBit;
        UINT uId;
    } s_lines[] = {{VIF_DIFFTYPE, 1138}, {VIF_DIFFCODEPG, 1137}, {VIF_DIFFLANG, 1136}, {VIF_SRCOLD, 1135},
                   {VIF_MISMATCH, 1134}};
    for (const auto &l : s_lines)
        if (dwVIF & l.dwBit)
            return l.uId;
    return 0;
}

DWORD fnVerInfoToVif(int nCmp)
{
    switch (nCmp) {
    case 3:
        return VIF_TEMPFILE | VIF_CANNOTREADSRC;
    case 4:
        return VIF_TEMPFILE | VIF_CANNOTREADDST;
    case 5:
    case 6:
        return VIF_TEMPFILE | VIF_MISMATCH;
    case 7:
        return VIF_TEMPFILE | VIF_MISMATCH | VIF_SRCOLD;
    case 8:
    case 9:
        return VIF_TEMPFILE | VIF_MISMATCH | VIF_DIFFTYPE;
    case 10:
        return VIF_TEMPFILE | VIF_MISMATCH | VIF_DIFFLANG;
    default:
        return 0;  /* identical, unreadable block, no version information: the caller decides */
    }
}

DWORD fnWriteErrorToVif(DWORD dwError, BOOL bReadOnly, DWORD dwDefault)
{
    switch (dwError) {
    case 112: /* disk full */
    case 39:  /* handle disk full */
        return VIF_OUTOFSPACE;
    case 32:  /* sharing violation */
    case 33:  /* lock violation */
        return VIF_SHARINGVIOLATION;
    case 5:   /* access denied: a read-only file is write protection, not a file in use */
        return bReadOnly ? VIF_WRITEPROT : VIF_ACCESSVIOLATION;
    case 19:  /* write-protected disk */
        return VIF_WRITEPROT;
    case 8:
    case 14:
        return VIF_OUTOFMEMORY;
    default:
        return dwDefault;
    }
}

DWORD fnLzResultToVif(long lResult)
{
    switch (lResult) {
    case -4: /* write error: the destination disk is full */
        return VIF_OUTOFSPACE;
    case -2: /* bad output handle */
        return VIF_ACCESSVIOLATION;
    case -5: /* no memory */
    case -6:
        return VIF_OUTOFMEMORY;
    case -1: /* bad input handle, read error, unknown algorithm, bad value */
    case -3:
    case -7:
    case -8:
        return VIF_CANNOTREADSRC;
    default:
        return 0;
    }
}

UINT fnFindCopyDecision(const FindFactsStruct *lpFacts, const IFStruct *lpIF, BOOL *lpbCloseTried,
                        FindAskProc pfnAsk, void *lpContext)
{
    const FindFactsStruct *f = lpFacts;
    if (f->bSrcIsDest)
        return FIND_SKIP;
    if (f->dwVFF & VFF_BUFFTOOSMALL)
        return FIND_BUFFTOOSMALL;
    /* the copy found is the source itself: install it, and never delete it afterwards */
    if (f->bSrcIsExisting)
        return FIND_KEEPOTHER;
    if (f->dwVFF & VFF_FILEINUSE) {
        if (lpIF->uCopyMode == COPY_SKIP || lpIF->uInUseAction == INUSE_SKIP)
            return FIND_SKIP;
        BOOL bChecking = lpIF->uInstallMode >= INSTALL_CHECK && lpIF->uInstallMode <= INSTALL_MIXED;
        if (!bChecking && f->bCurIsDstDir)
            return FIND_INTODST;
        if (f->bSameTimes && lpIF->uCopyMode != COPY_FORCE)
            return FIND_INSTALL;
        UINT uAction = lpIF->uInUseAction;
        if (uAction == INUSE_CLOSE) {
            if (!f->bCloseTried) {
                *lpbCloseTried = TRUE;
                if (pfnAsk(FINDASK_CLOSEHOLDER, lpContext))
                    return FIND_AGAIN;
            }
            uAction = INUSE_PROMPT;
        }
        if (uAction == INUSE_RESTART)
            return FIND_INSTALL;
        if (uAction == INUSE_PROMPT) {
            switch (pfnAsk(FINDASK_INUSE, lpContext)) {
            case 101:
                return FIND_AGAIN;
            case 102:
                return FIND_INSTALL;
            case 103:
                return FIND_SKIP;
            case 104:
                return FIND_ABORT;
            default:
                break;  /* closed: go on as if the file were not in use */
            }
        }
    }
    if (!(f->dwVFF & VFF_CURNEDEST) || f->bCurEmpty)
        return FIND_INSTALL;
    switch (lpIF->uCopyMode) {
    case COPY_PROMPT:
        switch (pfnAsk(FINDASK_ELSEWHERE, lpContext)) {
        case 103:
            return FIND_KEEPOTHER;
        case 104:
            return FIND_INSTALL;
        case 105:
            return FIND_INTOCUR;
        case 106:
            return FIND_SKIP;
        default:
            return FIND_ABORT;
        }
    case COPY_FORCE:
        return FIND_INTODST;
    case COPY_WINDIR:
        return FIND_NORMAL;
    default:
        if (f->bCurIsSourceDir)
            return FIND_KEEPOTHER;
        return lpIF->uCopyMode == COPY_CLEAN ? FIND_INSTALL : FIND_KEEPOTHER;
    }
}

UINT fnMismatchDecision(const IFStruct *lpIF, DWORD dwVIF)
{
    if (lpIF->uCopyMode == COPY_SKIP)
        return MISMATCH_SKIP;
    if (lpIF->uCopyMode == COPY_FORCE ||
        (lpIF->uInstallMode == INSTALL_DATE && lpIF->uCopyMode == COPY_NORMAL && !(dwVIF & VIF_SRCOLD)))
        return MISMATCH_FORCE;
    if (lpIF->uVerAction == VERACT_KEEP)
        return MISMATCH_SKIP;
    if (lpIF->uVerAction == VERACT_CANCEL)
        return MISMATCH_ABORT;
    return MISMATCH_ASK;
}

BOOL fnMeterStepDue(MeterStepStruct *lpStep, UINT uFileNum, DWORD dwRange, DWORD dwNow)
{
    DWORD dwPct = dwRange ? (DWORD)(((ULONGLONG)uFileNum * 100) / dwRange) : 100;
    /* the tick counter wraps: the difference still counts the time passed */
    if (dwPct == lpStep->dwLastPct && dwNow - lpStep->dwLastTick < 50 && uFileNum < dwRange)
        return FALSE;
    lpStep->dwLastPct = dwPct;
    lpStep->dwLastTick = dwNow;
    return TRUE;
}
