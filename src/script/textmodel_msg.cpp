/*
 * script/textmodel_msg.cpp -- required fields with their error message, and
 * the reader of the input sections that hands each question to its dialog.
 */
#include "script/textmodel_msg.h"

#include "common/records.h"
#include "common/runstate.h"
#include "driver/debuglog.h"
#include "driver/handlers.h"
#include "driver/messages.h"
#include "script/textmodel.h"

int fnInfParseFieldMsg(char *lpszLine, int nField, char *lpszField, size_t cchField)
{
    int nResult = fnInfParseField(lpszLine, nField, lpszField, cchField);
    if (!nResult && !g_bQuiet)
        fnMessage(1044, NULL, MB_OK | MB_ICONSTOP, (unsigned)nField, lpszField ? lpszField : "");
    return nResult;
}

#define MAX_INPUT_QUESTIONS 9

UINT fnInfGetSection(HWND hWnd, const char *lpszSection, const char *lpszNextInf, const char *lpszName)
{
    int nCount = fnInfCountLines(lpszSection, lpszName, MAX_INPUT_QUESTIONS);
    if (nCount == 0)
        return SECT_EMPTYINPUT;
    UINT uResult = SECT_CONTINUE;
    char szField[CCH_FIELD_BUF];
    for (int nNum = 1; nNum <= nCount; nNum++) {
        if (!fnInfLoadSection(lpszSection, nNum, lpszName, szField, sizeof(szField)))
            return SECT_EMPTYINPUT;
        fnDebugLog("fnInfGetSection", "nNum=%d,\nlpszSection=%s,\nszSection=%s,\nlpszInf=%s,\nlpszNextInf=%s",
                   g_uDebugLevel, nNum, lpszName, szField, lpszSection, lpszNextInf ? lpszNextInf : "");
        uResult = fnInputDialog(hWnd, nNum, szField, lpszName, lpszNextInf);
        if (uResult != SECT_CONTINUE)
            break;
    }
    return uResult;
}
