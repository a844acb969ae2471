/*
 * install/vertext.cpp -- dotted version texts, number conditions and the
 * words the version lister shows.
 */
#include "install/vertext.h"

#include "common/bounded.h"
#include "driver/debuglog.h"
#include "common/runstate.h"

void fnParseDottedVersion(const char *lpszVersion, WORD awVer[4], DWORD *lpdwMS, DWORD *lpdwLS)
{
    WORD aw[4] = {0, 0, 0, 0};
    const char *p = lpszVersion ? lpszVersion : "";
    for (int i = 0; i < 4 && *p; i++) {
        DWORD dw = 0;
        for (; *p >= '0' && *p <= '9'; p++)
            dw = (dw * 10u + (DWORD)(*p - '0')) & 0xFFFFu; /* a part is 16 bits wide */
        aw[i] = (WORD)dw;
        while (*p && *p != '.' && *p != ',')
            p++;
        if (*p)
            p++;
    }
    if (awVer) {
        for (int i = 0; i < 4; i++)
            awVer[i] = aw[i];
    }
    if (lpdwMS)
        *lpdwMS = ((DWORD)aw[0] << 16) | aw[1];
    if (lpdwLS)
        *lpdwLS = ((DWORD)aw[2] << 16) | aw[3];
}

BOOL fnConditionHolds(const char *lpszCondition, UINT uTesting, UINT uTest)
{
    if (!lpszCondition)
        return FALSE;
    if (fnEqualNoCase(lpszCondition, "EQ"))
        return uTesting == uTest;
    if (fnEqualNoCase(lpszCondition, "NE"))
        return uTesting != uTest;
    if (fnEqualNoCase(lpszCondition, "LT"))
        return uTesting < uTest;
    if (fnEqualNoCase(lpszCondition, "GT"))
        return uTesting > uTest;
    if (fnEqualNoCase(lpszCondition, "LE"))
        return uTesting <= uTest;
    if (fnEqualNoCase(lpszCondition, "GE"))
        return uTesting >= uTest;
    return FALSE;
}

int fnTestVersion(const char *lpszVersion, const char *lpszCondition, UINT uTest)
{
    UINT uTesting = 0;
    for (const char *p = lpszVersion ? lpszVersion : ""; *p >= '0' && *p <= '9'; p++)
        uTesting = uTesting * 10u + (UINT)(*p - '0');
    int nRC = fnConditionHolds(lpszCondition, uTesting, uTest) ? 1 : 2;
    fnDebugLog("fnTestVersion", "nRC=%d, lpszVersion=%s, lpszCondition=%s, uTest=%u, uTesting=%u", g_uDebugLevel, nRC,
               lpszVersion ? lpszVersion : "", lpszCondition ? lpszCondition : "", uTest, uTesting);
    return nRC;
}

BOOL fnVersionResultHolds(int nCmp, const char *lpszCondition)
{
    if (nCmp == VERCMP_NOMEMORY || nCmp == VERCMP_NOVERSION || nCmp == VERCMP_UNREADABLE || !lpszCondition)
        return FALSE;
    if (fnEqualNoCase(lpszCondition, "EQ"))
        return nCmp == VERCMP_EQUAL;
    if (fnEqualNoCase(lpszCondition, "NE"))
        return nCmp != VERCMP_EQUAL;
    if (fnEqualNoCase(lpszCondition, "LT"))
        return nCmp == VERCMP_OLDER;
    if (fnEqualNoCase(lpszCondition, "GT"))
        return nCmp == VERCMP_NEWER;
    if (fnEqualNoCase(lpszCondition, "LE"))
        return nCmp == VERCMP_EQUAL || nCmp == VERCMP_OLDER;
    if (fnEqualNoCase(lpszCondition, "GE"))
        return nCmp == VERCMP_EQUAL || nCmp == VERCMP_NEWER;
    return FALSE;
}

void fnFormatVersion(DWORD dwMS, DWORD dwLS, char *lpszOut, size_t cchOut)
{
    fnFormatBounded(lpszOut, cchOut, "%d.%d.%d.%d", (int)(dwMS >> 16), (int)(dwMS & 0xFFFF), (int)(dwLS >> 16),
                    (int)(dwLS & 0xFFFF));
}

void fnVersionFlagsText(DWORD dwFlags, char *lpszOut, size_t cchOut)
{
    static const char *const aszWords[] = {"Debug ", "Pre-release ", "Patched ", "Private ", "Info ", "Special "};
    fnCopyBounded(lpszOut, cchOut, "");
    for (int i = 0; i < 6; i++) {
        if (dwFlags & (1u << i))
            fnAppendBounded(lpszOut, cchOut, aszWords[i]);
    }
    if (!lpszOut[0])
        fnCopyBounded(lpszOut, cchOut, "No flags");
}

void fnVersionOSText(DWORD dwOS, char *lpszOut, size_t cchOut)
{
    static const struct {
        DWORD dwOS;
        const char *lpszName;
    } aOS[] = {
        {0x00010000, "DOS"},
        {0x00020000, "OS/2-16"},
        {0x00020002, "OS/2-16 PM-16"},
        {0x00030000, "OS/2-32"},
        {0x00030003, "OS/2-32 PM-32"},
        {0x00040000, "Windows NT"},
        {0x00000001, "Windows 16 bit"},
        {0x00000004, "Windows 32 bit"},
        {0x00010001, "Windows 3.0 or later under DOS"},
        {0x00010004, "Windows-32 under DOS"},
        {0x00040004, "Windows-32 under Windows-NT"},
    };
    for (const auto &o : aOS) {
        if (o.dwOS == dwOS) {
            fnCopyBounded(lpszOut, cchOut, o.lpszName);
            return;
        }
    }
    fnFormatBounded(lpszOut, cchOut, "0x%08lX", (unsigned long)dwOS);
}

void fnVersionTypeText(DWORD dwType, DWORD dwSubtype, char *lpszOut, size_t cchOut)
{
    static const char *const aszTypes[] = {NULL, "Application", "Dynamic-link library", "Device driver", "Font",
                                           "Virtual device", NULL, "Static-link library"};
    static const char *const aszDrivers[] = {NULL, "Printer", "Keyboard", "Language", "Display", "Mouse",
                                             "Network", "System", "Installable", "Sound", "Communication"};
    static const char *const aszFonts[] = {NULL, "Raster", "Vector", "TrueType"};
    const char *lpszType = dwType < 8 ? aszTypes[dwType] : NULL;
    if (!lpszType) {
        fnFormatBounded(lpszOut, cchOut, "0x%08lX", (unsigned long)dwType);
        return;
    }
    const char *lpszSub = NULL;
    if (dwType == 3 && dwSubtype < 11)
        lpszSub = aszDrivers[dwSubtype];
    else if (dwType == 4 && dwSubtype < 4)
        lpszSub = aszFonts[dwSubtype];
    if (lpszSub)
        fnFormatBounded(lpszOut, cchOut, "%s (%s)", lpszType, lpszSub);
    else
        fnCopyBounded(lpszOut, cchOut, lpszType);
}

void fnTranslationText(const BYTE *lpbTranslation, UINT cbTranslation, char *lpszOut, size_t cchOut)
{
    if (!lpbTranslation || cbTranslation != 4) {
        fnCopyBounded(lpszOut, cchOut, "040904E4");
        return;
    }
    fnFormatBounded(lpszOut, cchOut, "%02x%02x%02x%02x", lpbTranslation[1], lpbTranslation[0], lpbTranslation[3],
                    lpbTranslation[2]);
}
