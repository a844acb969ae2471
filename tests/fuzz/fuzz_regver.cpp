/*
 * tests/fuzz/fuzz_regver.cpp -- version texts and conditions, and the
 * registry's text and data conversions: root names in path texts, type
 * names, numbers, byte lists, values of every type to and from text (data
 * that is not terminated included), lookups split into key and value, paths
 * joined and enumeration numbers.
 * Input: a type byte, a size byte, then a text, NUL, a second text; the
 * whole input after the two bytes is also taken as a value's raw data.
 */
#include "fuzzcommon.h"

#include "common/bounded.h"
#include "common/machine.h"
#include "config/regtext.h"
#include "install/vertext.h"

namespace {

const char *const s_aszConditions[] = {"EQ", "ne", "Lt", "GT", "le", "GE", "XX", ""};

/* %LONG% stands for a text longer than any value buffer; FALSE when the result does not fit. */
BOOL fnFakeExpandEnv(const char *lpszText, char *lpszOut, size_t cchOut)
{
    std::string str = lpszText;
    size_t at;
    while ((at = str.find("%LONG%")) != std::string::npos)
        str.replace(at, 6, std::string(1500, 'E'));
    if (str.size() >= cchOut)
        return FALSE;
    memcpy(lpszOut, str.c_str(), str.size() + 1);
    return TRUE;
}

MachineLookupStruct s_machine;

void fnCheckVersions(const std::string &strText, const std::string &strOther, BYTE bType, BYTE bSize)
{
    WORD aw[4];
    DWORD dwMS = 1, dwLS = 1;
    fnParseDottedVersion(strText.c_str(), aw, &dwMS, &dwLS);
    FUZZ_CHECK(dwMS == (((DWORD)aw[0] << 16) | aw[1]) && dwLS == (((DWORD)aw[2] << 16) | aw[3]));
    /* the printed form reads back as the same version */
    char szVersion[32];
    fnFormatVersion(dwMS, dwLS, szVersion, sizeof(szVersion));
    DWORD dwMS2 = 0, dwLS2 = 0;
    fnParseDottedVersion(szVersion, NULL, &dwMS2, &dwLS2);
    FUZZ_CHECK(dwMS2 == dwMS && dwLS2 == dwLS);

    const char *lpszCond = s_aszConditions[bType & 7];
    UINT uTest = bSize;
    int nRC = fnTestVersion(strText.c_str(), lpszCond, uTest);
    FUZZ_CHECK(nRC == 1 || nRC == 2);
    FUZZ_CHECK(fnConditionHolds(strOther.c_str(), 5, 5) == (fnEqualNoCase(strOther.c_str(), "EQ") ||
                                                          fnEqualNoCase(strOther.c_str(), "LE") ||
                                                          fnEqualNoCase(strOther.c_str(), "GE")));
    for (int nCmp : {0, 1, 2, 3, 5, 7, 11, (int)bSize}) {
        BOOL b = fnVersionResultHolds(nCmp, lpszCond);
        if (nCmp >= 1 && nCmp <= 3)
            FUZZ_CHECK(!b);
    }

    DWORD dw = 0;
    memcpy(&dw, strText.data(), strText.size() < 4 ? strText.size() : 4);
    char szSmall[3];
    char szWords[CCH_PATH];
    fnVersionFlagsText(dw, szWords, sizeof(szWords));
    fnVersionFlagsText(dw, szSmall, sizeof(szSmall));
    fnVersionOSText(dw, szWords, sizeof(szWords));
    fnVersionOSText(dw, szSmall, sizeof(szSmall));
    fnVersionTypeText(dw & 0xF, bSize % 12, szWords, sizeof(szWords));
    fnVersionTypeText(dw, bSize, szSmall, sizeof(szSmall));
    fnTranslationText((const BYTE *)strText.data(), (UINT)strText.size(), szWords, sizeof(szWords));
    FUZZ_CHECK(strlen(szWords) == 8);
}

void fnCheckRegText(const std::string &strText, const std::string &strOther, const std::string &strRaw, BYTE bType,
                    BYTE bSize)
{
    /* root names */
    FuzzBufStruct path(strText, strText.size() + 1);
    UINT uRoot = fnFindRegRoot(path.lpsz);
    FUZZ_CHECK(uRoot < REGROOT_COUNT);
    if (uRoot == REGROOT_NONE)
        FUZZ_CHECK(strText == path.lpsz);
    else
        FUZZ_CHECK(strlen(path.lpsz) < strText.size() && path.lpsz[0] != '\\');
    FUZZ_CHECK(fnRegRootName(bType) != NULL);
    DWORD dwType = fnRegTypeFromName(strOther.c_str());
    FUZZ_CHECK(dwType <= REGTYPE_RESOURCE_LIST);

    /* text to data for every type, into a buffer of the size the input chose */
    DWORD cbData = (DWORD)bSize * 4 + 1;
    for (DWORD t = REGTYPE_NONE; t <= REGTYPE_RESOURCE_LIST; t++) {
        for (BOOL bExpand = FALSE; bExpand <= TRUE; bExpand++) {
            BYTE *lpData = (BYTE *)malloc(cbData);
            DWORD cb = 99999;
            BOOL bOk = fnRegTextToData(t, strText.c_str(), bExpand, lpData, cbData, &cb);
            FUZZ_CHECK(cb <= cbData);
            if (!bOk)
                FUZZ_CHECK(cb == 0);
            free(lpData);
        }
    }
    BYTE abPairs[16];
    FUZZ_CHECK(fnRegTextToBinary(strText.c_str(), abPairs, bSize % 17) <= (DWORD)(bSize % 17));
    DWORD dwNumber = fnRegTextToNumber(strText.c_str());

    /* numbers: decimal and hexadecimal texts read back as the value */
    BYTE ab4[4] = {(BYTE)dwNumber, (BYTE)(dwNumber >> 8), (BYTE)(dwNumber >> 16), (BYTE)(dwNumber >> 24)};
    char szNum[16];
    fnRegDataToText(REGTYPE_DWORD, ab4, 4, REGCONV_DEC, szNum, sizeof(szNum));
    FUZZ_CHECK(fnRegTextToNumber(szNum) == dwNumber);
    fnRegDataToText(REGTYPE_DWORD, ab4, 4, REGCONV_HEX, szNum, sizeof(szNum) - 1);
    fnAppendBounded(szNum, sizeof(szNum), "h");
    FUZZ_CHECK(fnRegTextToNumber(szNum) == dwNumber);

    /* raw data of any type, not terminated, into a buffer of the size the input chose */
    size_t cchOut = 1 + bSize;
    char *lpszOut = (char *)malloc(cchOut);
    for (DWORD t = REGTYPE_NONE; t <= REGTYPE_RESOURCE_LIST + 1; t++) {
        for (UINT uMode = REGCONV_RAW; uMode <= REGCONV_DEC; uMode++) {
            BYTE *lpRaw = (BYTE *)malloc(strRaw.size() ? strRaw.size() : 1);
            memcpy(lpRaw, strRaw.data(), strRaw.size());
            fnRegDataToText(t, lpRaw, (DWORD)strRaw.size(), uMode, lpszOut, cchOut);
            FUZZ_CHECK(strlen(lpszOut) < cchOut);
            free(lpRaw);
        }
    }
    /* binary data written as text and read back is the same bytes, as many as the text held */
    fnRegDataToText(REGTYPE_BINARY, (const BYTE *)strRaw.data(), (DWORD)strRaw.size(), REGCONV_HEX, lpszOut, cchOut);
    size_t cbText = strlen(lpszOut) / 2;
    FUZZ_CHECK(cbText == (strRaw.size() < (cchOut - 1) / 2 ? strRaw.size() : (cchOut - 1) / 2));
    BYTE *lpBack = (BYTE *)malloc(cbText + 1);
    DWORD cbBack = 0;
    FUZZ_CHECK(fnRegTextToData(REGTYPE_BINARY, lpszOut, FALSE, lpBack, (DWORD)cbText + 1, &cbBack));
    FUZZ_CHECK(cbBack == cbText && memcmp(lpBack, strRaw.data(), cbText) == 0);
    free(lpBack);
    free(lpszOut);

    /* lookups, paths and enumeration numbers in small buffers */
    char szKey[17], szValue[12];
    if (fnSplitRegLookup(strText.c_str(), szKey, sizeof(szKey), szValue, sizeof(szValue)))
        FUZZ_CHECK(strlen(szKey) + strlen(szValue) <= strText.size());
    FUZZ_CHECK(strlen(szKey) < sizeof(szKey) && strlen(szValue) < sizeof(szValue));
    char szPath[40];
    fnCopyBounded(szPath, sizeof(szPath), strOther.c_str());
    std::string strBefore = szPath;
    if (!fnRegAppendPath(szPath, sizeof(szPath), strText.c_str()))
        FUZZ_CHECK(strBefore == szPath);
    FUZZ_CHECK(strlen(szPath) < sizeof(szPath));
    char szEnum[6];
    fnCopyBounded(szEnum, sizeof(szEnum), strText.c_str());
    fnRegEnumNext(szEnum, sizeof(szEnum));
    FUZZ_CHECK(strlen(szEnum) < sizeof(szEnum));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fnFuzzDebugOn();
    s_machine = g_machineNone;
    s_machine.pfnExpandEnv = fnFakeExpandEnv;
    g_lpMachine = &s_machine;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *lpData, size_t cbData)
{
    if (cbData < 2)
        return 0;
    BYTE bType = lpData[0], bSize = lpData[1];
    std::vector<std::string> pieces = fnFuzzPieces(lpData + 2, cbData - 2, 2);
    std::string strRaw((const char *)lpData + 2, cbData - 2);
    /* script texts reach these as fields of at most a line */
    std::string strText = pieces[0].substr(0, CCH_LINE);
    fnCheckVersions(strText, pieces[1], bType, bSize);
    fnCheckRegText(strText, pieces[1], strRaw, bType, bSize);
    return 0;
}
