/*
 * process/proctext.cpp -- name and path matching of process entries and the
 * walk over a performance data block. The block layout is the system's
 * (a data block header, object types, counter definitions, instances, each
 * counter block behind its instance); every field is read by offset with a
 * bounds check, since the block comes from outside the program.
 */
#include "process/proctext.h"

#include <string.h>

#include "common/bounded.h"

BOOL fnIsPathName(const char *lpszName)
{
    return lpszName && (strchr(lpszName, '\\') || strchr(lpszName, '/'));
}

const char *fnPathFileName(const char *lpszPath)
{
    const char *lpszName = lpszPath;
    for (const char *p = lpszPath; *p; p++)
        if (*p == '\\' || *p == '/' || *p == ':')
            lpszName = p + 1;
    return lpszName;
}

BOOL fnSamePathText(const char *lpszA, const char *lpszB)
{
    for (;; lpszA++, lpszB++) {
        char a = (*lpszA == '/') ? '\\' : fnUpperAscii(*lpszA);
        char b = (*lpszB == '/') ? '\\' : fnUpperAscii(*lpszB);
        if (a != b)
            return FALSE;
        if (!a)
            return TRUE;
    }
}

BOOL fnProcessNameMatches(const char *lpszName, const char *lpszExeText, const char *lpszImagePath,
                          BOOL bMatchFileName)
{
    if (!lpszName || !lpszName[0] || !lpszExeText)
        return FALSE;
    if (fnIsPathName(lpszName)) {
        /* the snapshot's text is a bare name on NT systems: a path is compared with the image path */
        if (lpszImagePath && lpszImagePath[0] && fnSamePathText(lpszName, lpszImagePath))
            return TRUE;
        return fnIsPathName(lpszExeText) && fnSamePathText(lpszName, lpszExeText);
    }
    if (fnEqualNoCase(lpszName, lpszExeText))
        return TRUE;
    return bMatchFileName && fnEqualNoCase(lpszName, fnPathFileName(lpszExeText));
}

DWORD fnPerfCounterIndex(const BYTE *lpData, size_t cb, const char *lpszName)
{
    if (!lpData || !lpszName)
        return 0;
    size_t nPos = 0;
    /* the list alternates "index" and "name", each ended by a NUL */
    while (nPos < cb) {
        const char *lpszIndex = (const char *)lpData + nPos;
        const void *lpEnd = memchr(lpszIndex, '\0', cb - nPos);
        if (!lpEnd)
            return 0;
        size_t nName = (size_t)((const BYTE *)lpEnd - lpData) + 1;
        if (nName >= cb)
            return 0;
        const char *lpszText = (const char *)lpData + nName;
        const void *lpNameEnd = memchr(lpszText, '\0', cb - nName);
        if (!lpNameEnd)
            return 0;
        if (!lpszIndex[0])
            return 0;
        if (fnEqualNoCase(lpszText, lpszName)) {
            DWORD dwIndex = 0;
            for (const char *p = lpszIndex; *p; p++) {
                if (*p < '0' || *p > '9' || dwIndex > 0x0FFFFFFF)
                    return 0;
                dwIndex = dwIndex * 10 + (DWORD)(*p - '0');
            }
            return dwIndex;
        }
        nPos = (size_t)((const BYTE *)lpNameEnd - lpData) + 1;
    }
    return 0;
}

/* The DWORD at offset nAt of the block, when four bytes lie inside it. */
static BOOL fnReadDword(const BYTE *lpData, size_t cb, size_t nAt, DWORD *lpdw)
{
    if (nAt > cb || cb - nAt < 4)
        return FALSE;
    uint32_t u;
    memcpy(&u, lpData + nAt, 4);
    *lpdw = (DWORD)u;
    return TRUE;
}

/* Field offsets of the system's performance data records. */
enum {
    PDB_TOTAL_LENGTH = 20, PDB_HEADER_LENGTH = 24, PDB_NUM_OBJECTS = 28,
    POT_TOTAL_LENGTH = 0, POT_DEFINITION_LENGTH = 4, POT_HEADER_LENGTH = 8, POT_NAME_INDEX = 12,
    POT_NUM_COUNTERS = 32, POT_NUM_INSTANCES = 40, POT_SIZE = 64,
    PCD_BYTE_LENGTH = 0, PCD_NAME_INDEX = 4, PCD_COUNTER_OFFSET = 36, PCD_SIZE = 40,
    PID_BYTE_LENGTH = 0, PID_SIZE = 24,
    PCB_BYTE_LENGTH = 0
};

/* The counter offset of dwCounterIndex inside each counter block of the object at nObj; FALSE when absent. */
static BOOL fnPerfFindCounter(const BYTE *lpData, size_t cbObj, size_t nObj, DWORD dwCounterIndex,
                              DWORD *lpdwOffset)
{
    DWORD dwHeader, dwCounters;
    if (!fnReadDword(lpData, cbObj, nObj + POT_HEADER_LENGTH, &dwHeader) ||
        !fnReadDword(lpData, cbObj, nObj + POT_NUM_COUNTERS, &dwCounters))
        return FALSE;
    size_t nDef = nObj + dwHeader;
    for (DWORD i = 0; i < dwCounters; i++) {
        DWORD dwLen, dwIndex, dwOffset;
        if (!fnReadDword(lpData, cbObj, nDef + PCD_BYTE_LENGTH, &dwLen) ||
            !fnReadDword(lpData, cbObj, nDef + PCD_NAME_INDEX, &dwIndex) ||
            !fnReadDword(lpData, cbObj, nDef + PCD_COUNTER_OFFSET, &dwOffset) || dwLen < PCD_SIZE)
            return FALSE;
        if (dwIndex == dwCounterIndex) {
            *lpdwOffset = dwOffset;
            return TRUE;
        }
        nDef += dwLen;
    }
    return FALSE;
}

int fnPerfProcessIds(const BYTE *lpData, size_t cb, DWORD dwObjectIndex, DWORD dwCounterIndex, DWORD *lpdwPids,
                     int nMax)
{
    DWORD dwTotal, dwHeader, dwObjects;
    if (!lpData || !fnReadDword(lpData, cb, PDB_TOTAL_LENGTH, &dwTotal) ||
        !fnReadDword(lpData, cb, PDB_HEADER_LENGTH, &dwHeader) ||
        !fnReadDword(lpData, cb, PDB_NUM_OBJECTS, &dwObjects))
        return 0;
    if (dwTotal < cb)
        cb = dwTotal;
    int nFound = 0;
    size_t nObj = dwHeader;
    for (DWORD o = 0; o < dwObjects && nObj < cb; o++) {
        DWORD dwObjLen, dwDefLen, dwNameIndex, dwInstances;
        if (!fnReadDword(lpData, cb, nObj + POT_TOTAL_LENGTH, &dwObjLen) ||
            !fnReadDword(lpData, cb, nObj + POT_DEFINITION_LENGTH, &dwDefLen) ||
            !fnReadDword(lpData, cb, nObj + POT_NAME_INDEX, &dwNameIndex) ||
            !fnReadDword(lpData, cb, nObj + POT_NUM_INSTANCES, &dwInstances) || dwObjLen < POT_SIZE)
            return nFound;
        /* nothing of this object may be read beyond its own length */
        size_t cbObj = (dwObjLen > cb - nObj) ? cb : nObj + dwObjLen;
        if (dwNameIndex == dwObjectIndex) {
            DWORD dwCounterOffset;
            if (!fnPerfFindCounter(lpData, cbObj, nObj, dwCounterIndex, &dwCounterOffset))
                return nFound;
            size_t nInst = nObj + dwDefLen;
            /* a count of -1 means an object without instances */
            for (DWORD i = 0; i < dwInstances && dwInstances != 0xFFFFFFFF && nFound < nMax; i++) {
                DWORD dwInstLen, dwBlockLen, dwPid;
                if (!fnReadDword(lpData, cbObj, nInst + PID_BYTE_LENGTH, &dwInstLen) || dwInstLen < PID_SIZE)
                    return nFound;
                size_t nBlock = nInst + dwInstLen;
                if (!fnReadDword(lpData, cbObj, nBlock + PCB_BYTE_LENGTH, &dwBlockLen) || dwBlockLen < 4 ||
                    dwCounterOffset > dwBlockLen - 4 ||
                    !fnReadDword(lpData, cbObj, nBlock + dwCounterOffset, &dwPid))
                    return nFound;
                lpdwPids[nFound++] = dwPid;
                nInst = nBlock + dwBlockLen;
            }
            return nFound;
        }
        nObj += dwObjLen;
    }
    return nFound;
}
