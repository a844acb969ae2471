/*
 * ui/input_sections.cpp -- the input sections: the questions a list section
 * names ([AskFor], [GetDirs], [FromList], [FromLongList], [FromCombo],
 * [OptionButtons]), [InitOptions], [GetUserPW] and [Get2Dirs]. Each reads its
 * question with the portable reader, asks in its dialog (or, in a quiet run,
 * takes the default answer without opening any window) and puts the answer
 * in the run-wide slot options read. Cancel that the user confirms ends the
 * run (status 7); a question a quiet run cannot answer fails it (status 0).
 */
#include <stdlib.h>
#include <string.h>

#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/installlog.h"
#include "driver/messages.h"
#include "driver/scramble.h"
#include "driver/sectiondriver.h"
#include "script/optstore.h"
#include "script/pathtext.h"
#include "script/textmodel.h"
#include "ui/inputdlg.h"

/* Copies what the question's reader changed in the run's exit settings and log into the run record. */
static void fnAfterQuestionRead(const ReadSectStruct *r)
{
    if (r->bExitSet && g_lpUserInput) {
        /* the driver copies the record back over these after the installation sections */
        g_lpUserInput->uOnExit = g_uOnExit;
        g_lpUserInput->uBackupMode = g_uBackUpMethod;
    }
    if (r->bLogFile && !g_bLogOpen) {
        char szName[CCH_PATH];
        if (fnExpandLogName(r->szLogFile, szName, sizeof(szName)))
            fnOpenInstallLog(szName);
    }
}

/* Results of fnReadQuestion */
enum { READQ_ASK, READQ_DONE, READQ_FAILED };

/* Finds and reads one question; READQ_DONE when there is nothing to ask. */
static int fnReadQuestion(const char *lpszBody, ReadSectStruct *r, const char *lpszName)
{
    if (!lpszBody || fnInfCountLines(lpszBody, NULL, 1) == 0) {
        fnDebugLog("fnReadQuestion", "Section %s missing or empty", g_uDebugLevel, lpszName);
        return READQ_DONE;
    }
    if (!fnReadInputSection(lpszBody, r))
        return READQ_FAILED;
    fnAfterQuestionRead(r);
    return r->bEndOfSection ? READQ_DONE : READQ_ASK;
}

static void fnLogAnswer(const char *lpszName, int n, const ReadSectStruct *r, const char *lpszAnswer)
{
    fnDebugLog("fnInputDialog", "%s n=%d answer=%s", g_uDebugLevel, lpszName, n,
               r->bSecret ? "(hidden)" : lpszAnswer);
}

/* TRUE when lpszLine is one line of the list block (whole line, case ignored). */
static BOOL fnInList(const char *lpszList, const char *lpszLine)
{
    const char *p = lpszList ? lpszList : "";
    size_t cchLine = strlen(lpszLine);
    while (*p) {
        const char *lpszEnd = strstr(p, "\r\n");
        size_t cch = lpszEnd ? (size_t)(lpszEnd - p) : strlen(p);
        char szItem[CCH_LISTANSWER * 2];
        fnCopyBoundedN(szItem, sizeof(szItem), p, cch);
        if (cch == cchLine && fnEqualNoCase(szItem, lpszLine))
            return TRUE;
        p += cch + (lpszEnd ? 2 : 0);
    }
    return FALSE;
}

/* The value question: answer slot n-1. */
static UINT fnAskFor(HWND hWnd, int n, QuestionStruct *q)
{
    ReadSectStruct *r = q->lpRead;
    char *lpszSlot = g_lpszAskForResponse[n - 1];
    if (g_bQuiet) {
        /* the default, or what the command line put in the slot; a question with neither cannot be answered */
        if (r->szDefault[0])
            fnCopyBounded(lpszSlot, CCH_ANSWER, r->szDefault);
        if (!lpszSlot[0]) {
            fnDebugLog("fnAskFor", "Question %d has no default for a quiet run", g_uDebugLevel, n);
            return SECT_ERROR;
        }
        fnLogAnswer("AskFor (quiet)", n, r, lpszSlot);
        return SECT_CONTINUE;
    }
    if (fnQuestionDialog(hWnd, q) != IDOK)
        return SECT_USEREXIT;
    fnCopyBounded(lpszSlot, CCH_ANSWER, q->szAnswer);
    fnLogAnswer("AskFor", n, r, lpszSlot);
    return SECT_CONTINUE;
}

/* The directory question: path slot n; with File the file must be in the directory chosen. */
static UINT fnGetDirs(HWND hWnd, int n, ReadSectStruct *r)
{
    DirDialogStruct dir;
    dir.lpszCaption = r->szCaption;
    dir.lpszMsg1 = r->szMsg[1];
    dir.lpszMsg2 = r->szMsg[2];
    dir.lpHelp = r;
    fnCopyBounded(dir.szPath, sizeof(dir.szPath),
                  r->szPath[0] ? r->szPath : (g_szPathSlot[n][0] ? g_szPathSlot[n] : g_szDestDir));
    for (;;) {
        if (!g_bQuiet && !fnDirectoryDialog(hWnd, &dir))
            return SECT_USEREXIT;
        if (!r->szFile[0])
            break;
        char szFull[CCH_PATH];
        DWORD dwAttr = fnJoinPath(szFull, sizeof(szFull), dir.szPath, r->szFile) ? GetFileAttributesA(szFull)
                                                                                 : INVALID_FILE_ATTRIBUTES;
        if (dwAttr != INVALID_FILE_ATTRIBUTES && !(dwAttr & FILE_ATTRIBUTE_DIRECTORY))
            break;
        if (g_bQuiet) {
            fnDebugLog("fnGetDirs", "File %s is not in %s", g_uDebugLevel, r->szFile, dir.szPath);
            return SECT_ERROR;
        }
        int nAnswer = fnMessage(1103, NULL, MB_ABORTRETRYIGNORE | MB_ICONQUESTION, r->szFile, dir.szPath);
        if (nAnswer == IDABORT)
            return SECT_USEREXIT;
        if (nAnswer == IDIGNORE)
            break;
    }
    fnCopyBounded(g_szPathSlot[n], CCH_PATH, dir.szPath);
    fnLogAnswer("GetDirs", n, r, dir.szPath);
    return SECT_CONTINUE;
}

/* A line of a list: answer slot n-1. */
static UINT fnFromList(HWND hWnd, int n, QuestionStruct *q)
{
    ReadSectStruct *r = q->lpRead;
    if (g_bQuiet) {
        if (!r->szDefault[0] || fnEqualNoCase(r->szDefault, "(Please Select)") || !fnInList(r->lpszList, r->szDefault)) {
            fnDebugLog("fnFromList", "Question %d has no default line for a quiet run", g_uDebugLevel, n);
            return SECT_ERROR;
        }
        fnCopyBounded(q->szAnswer, sizeof(q->szAnswer), r->szDefault);
    } else if (fnQuestionDialog(hWnd, q) != IDOK) {
        return SECT_USEREXIT;
    }
    fnCopyBounded(g_szFromListResponse[n - 1], CCH_LISTANSWER, q->szAnswer);
    fnLogAnswer("FromList", n, r, q->szAnswer);
    return SECT_CONTINUE;
}

static UINT fnFromCombo(HWND hWnd, int n, QuestionStruct *q)
{
    ReadSectStruct *r = q->lpRead;
    q->nComboSlot = n - 1;
    if (g_bQuiet)
        fnCopyBounded(q->szAnswer, sizeof(q->szAnswer), r->szDefault);
    else if (fnQuestionDialog(hWnd, q) != IDOK)
        return SECT_USEREXIT;
    fnCopyBounded(g_szFromComboResponse[n - 1], CCH_LISTANSWER, q->szAnswer);
    fnLogAnswer("FromCombo", n, r, q->szAnswer);
    return SECT_CONTINUE;
}

/* Option buttons into option slot nSlot (-1: asked, but no slot is left to keep the answer). */
static BOOL fnOptionButtons(HWND hWnd, int nSlot, QuestionStruct *q)
{
    fnInitialLetters(q->lpRead, q->szLetters);
    if (!g_bQuiet && fnQuestionDialog(hWnd, q) != IDOK)
        return FALSE;
    if (nSlot >= 0)
        fnCopyBounded(g_szOptionAnswer[nSlot], sizeof(g_szOptionAnswer[nSlot]), q->szLetters);
    else
        fnDebugLog("fnOptionButtons", "No option slot is left for this question; %s not kept", g_uDebugLevel,
                   q->szLetters);
    fnDebugLog("fnOptionButtons", "slot=%d answer=%s", g_uDebugLevel, nSlot, q->szLetters);
    return TRUE;
}

/* The question kind of a list name; 0 when none. */
static int fnListKind(const char *lpszName)
{
    static const struct {
        const char *lpszName;
        int nKind;
    } s_kinds[] = {{"[ASKFOR]", QKIND_ASKFOR},         {"[GETDIRS]", QKIND_GETDIRS},
                   {"[FROMCOMBO]", QKIND_FROMCOMBO},   {"[FROMLONGLIST]", QKIND_FROMLONGLIST},
                   {"[FROMLIST]", QKIND_FROMLIST},     {"[OPTIONBUTTONS]", QKIND_OPTIONS}};
    for (const auto &k : s_kinds)
        if (fnEqualNoCase(lpszName, k.lpszName))
            return k.nKind;
    return 0;
}

/* Reads and asks one question of kind nKind from its body; the section status. */
static UINT fnAskQuestion(HWND hWnd, int nKind, int n, const char *lpszBody, const char *lpszName)
{
    BOOL bList = nKind == QKIND_FROMLIST || nKind == QKIND_FROMLONGLIST || nKind == QKIND_FROMCOMBO;
    char *lpszList = bList ? (char *)malloc(CCH_INPUTBLOCK) : NULL;
    if (bList && !lpszList) {
        fnDebugLog("fnAskQuestion", "No memory for the list of %s", g_uDebugLevel, lpszName);
        return SECT_ERROR;
    }
    QuestionStruct *q = (QuestionStruct *)calloc(1, sizeof(QuestionStruct));
    ReadSectStruct *r = (ReadSectStruct *)calloc(1, sizeof(ReadSectStruct));
    UINT uStatus = SECT_ERROR;
    if (!q || !r)
        goto done;
    fnInitReadSect(r, lpszList, CCH_INPUTBLOCK);
    if (nKind == QKIND_OPTIONS)
        r->uButtonType = BUTTONTYPE_RADIO;
    r->nNum = (nKind == QKIND_GETDIRS) ? n : n - 1;
    q->nKind = nKind;
    q->lpRead = r;
    q->nComboSlot = -1;
    switch (fnReadQuestion(lpszBody, r, lpszName)) {
    case READQ_FAILED: uStatus = SECT_ERROR; goto done;
    case READQ_DONE: uStatus = SECT_CONTINUE; goto done;
    default: break;
    }
    switch (nKind) {
    case QKIND_ASKFOR: uStatus = fnAskFor(hWnd, n, q); break;
    case QKIND_GETDIRS: uStatus = fnGetDirs(hWnd, n, r); break;
    case QKIND_FROMLIST:
    case QKIND_FROMLONGLIST: uStatus = fnFromList(hWnd, n, q); break;
    case QKIND_FROMCOMBO: uStatus = fnFromCombo(hWnd, n, q); break;
    case QKIND_OPTIONS:
        /* a confirmed Cancel ends the run like the other questions, rather than going on */
        uStatus = fnOptionButtons(hWnd, fnOptionSlot(g_bInitOptions ? 1 : 0, n), q) ? SECT_CONTINUE : SECT_USEREXIT;
        break;
    }
done:
    if (r)
        fnFreeReadSect(r);
    free(r);
    free(q);
    free(lpszList);
    return uStatus;
}

UINT fnInputDialog(HWND hWnd, int nNum, const char *lpszField, const char *lpszName, const char *lpszNextInf)
{
    int nKind = fnListKind(lpszName);
    if (!nKind || nNum < 1 || nNum > OPT_SLOTS)
        return SECT_CONTINUE;
    /* a list line may name its question with or without the brackets */
    char szQuestion[CCH_PATH];
    if (lpszField[0] == '[')
        fnCopyBounded(szQuestion, sizeof(szQuestion), lpszField);
    else
        fnFormatBounded(szQuestion, sizeof(szQuestion), "[%s]", lpszField);
    const char *lpszBody = lpszNextInf ? fnInfFindSection(lpszNextInf, szQuestion) : NULL;
    return fnAskQuestion(hWnd, nKind, nNum, lpszBody, szQuestion);
}

/*
 * The opening of a section that is one question of its own: the question
 * record (NULL when memory ran out; r is then untouched), r read from the
 * section, and the reader's READQ_... in *lpnRead. The caller releases r with
 * fnFreeReadSect and the record with free.
 */
static QuestionStruct *fnStartQuestion(const char *lpszSection, const char *lpszName, int nKind, ReadSectStruct *r,
                                       int *lpnRead)
{
    QuestionStruct *q = (QuestionStruct *)calloc(1, sizeof(QuestionStruct));
    if (!q)
        return NULL;
    fnInitReadSect(r, NULL, 0);
    if (nKind == QKIND_OPTIONS)
        r->uButtonType = BUTTONTYPE_RADIO;
    q->nKind = nKind;
    q->lpRead = r;
    q->nComboSlot = -1;
    *lpnRead = fnReadQuestion(fnInfFindSection(lpszSection, lpszName), r, lpszName);
    return q;
}

UINT fnInitOptionsSection(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    /* its own answers take option slot 0; the option lists after it start at slot 1 */
    ReadSectStruct r;
    int nRead;
    QuestionStruct *q = fnStartQuestion(lpszSection, lpszName, QKIND_OPTIONS, &r, &nRead);
    if (!q)
        return 0;
    UINT uResult;
    switch (nRead) {
    case READQ_FAILED: uResult = 0; break;
    case READQ_DONE: uResult = 100; break;
    default: uResult = fnOptionButtons(hWnd, 0, q) ? 100 : 103; break;
    }
    /* the run ends at the user's word, which the exit code must tell */
    if (uResult == 103)
        g_bUserChoseExit = TRUE;
    fnFreeReadSect(&r);
    free(q);
    return uResult;
}

UINT fnGetUserPWSection(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    ReadSectStruct r;
    int nRead;
    QuestionStruct *q = fnStartQuestion(lpszSection, lpszName, QKIND_USERPW, &r, &nRead);
    if (!q)
        return SECT_ERROR;
    UINT uStatus = SECT_CONTINUE;
    if (nRead == READQ_FAILED) {
        uStatus = SECT_ERROR;
    } else if (nRead == READQ_ASK && g_bQuiet) {
        /* nobody can type a password into a quiet run */
        fnDebugLog("fnGetUserPWSection", "A quiet run cannot ask for a user name and password", g_uDebugLevel);
        uStatus = SECT_ERROR;
    } else if (nRead == READQ_ASK) {
        if (fnQuestionDialog(hWnd, q) != IDOK) {
            uStatus = SECT_USEREXIT;
        } else {
            fnCopyBounded(g_szUserName, sizeof(g_szUserName), q->szUser);
            char szScrambled[CCH_PASSWORD];
            fnCopyBounded(szScrambled, sizeof(szScrambled), q->szPassword);
            /* an empty password leaves no password behind; a longer one than the slot holds never gets here */
            if (!szScrambled[0]) {
                g_szUserPassword[0] = '\0';
            } else if (fnEnCryptString(szScrambled, sizeof(szScrambled))) {
                fnCopyBounded(g_szUserPassword, sizeof(g_szUserPassword), szScrambled);
            } else {
                g_szUserPassword[0] = '\0';
                fnDebugLog("fnGetUserPWSection", "The password cannot be kept", g_uDebugLevel);
                uStatus = SECT_ERROR;
            }
            SecureZeroMemory(szScrambled, sizeof(szScrambled));
            fnDebugLog("fnGetUserPWSection", "user=%s, password=(hidden)", g_uDebugLevel, g_szUserName);
        }
    }
    SecureZeroMemory(q->szPassword, sizeof(q->szPassword));
    fnFreeReadSect(&r);
    free(q);
    return uStatus;
}

UINT fnGet2DirsSection(HWND hWnd, const char *lpszSection, const char *lpszName)
{
    ReadSectStruct r;
    int nRead;
    QuestionStruct *q = fnStartQuestion(lpszSection, lpszName, QKIND_2DIRS, &r, &nRead);
    if (!q)
        return SECT_ERROR;
    UINT uStatus = SECT_CONTINUE;
    if (nRead == READQ_FAILED) {
        uStatus = SECT_ERROR;
    } else if (nRead == READQ_ASK) {
        fnCopyBounded(q->szAnswer, sizeof(q->szAnswer), r.szPath1);
        fnCopyBounded(q->szAnswer2, sizeof(q->szAnswer2), r.szPath2);
        if (!g_bQuiet && fnQuestionDialog(hWnd, q) != IDOK) {
            uStatus = SECT_USEREXIT;
        } else {
            fnCopyBounded(g_szPathSlot[0], CCH_PATH, q->szAnswer);
            fnCopyBounded(g_szDestDir, sizeof(g_szDestDir), q->szAnswer);
            if (g_lpUserInput)
                fnCopyBounded(g_lpUserInput->szDestPath, sizeof(g_lpUserInput->szDestPath), q->szAnswer);
            fnCopyBounded(g_szPathSlot[1], CCH_PATH, q->szAnswer2);
            fnDebugLog("fnGet2DirsSection", "path1=%s, path2=%s", g_uDebugLevel, q->szAnswer, q->szAnswer2);
        }
    }
    fnFreeReadSect(&r);
    free(q);
    return uStatus;
}
