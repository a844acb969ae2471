/*
 * tests/fuzz/fuzz_expand.cpp -- conditions, option expansion, inline
 * functions and the path and sub-field helpers over arbitrary field text,
 * with made-up machine facts (some of them longer than any field).
 * Input: one flag byte (option character, size of a second, small buffer),
 * then the field text, NUL, a second text that becomes the right side of a
 * test, a function argument, a stored answer, registry result and variable.
 */
#include "fuzzcommon.h"

#include "../../src/script/tests/fakemachine.h"
#include "common/bounded.h"
#include "common/runstate.h"
#include "driver/scramble.h"
#include "script/conditions.h"
#include "script/expand.h"
#include "script/inlinefun.h"
#include "script/optstore.h"
#include "script/pathtext.h"

namespace {

const char s_achOptChars[] = {'@', '@', '%', '#'};

/* Expansion writes only the function-result slots: they are put back before each check. */
char s_szFunResultSaved[10][CCH_PATH];
UINT s_uFunResultSaved;

void fnRestoreFunResults(void)
{
    memcpy(g_szFunResult, s_szFunResultSaved, sizeof(g_szFunResult));
    g_uFunResult = s_uFunResultSaved;
}

/* The facts of one input; every check starts from them, so two expansions of one text can be compared. */
void fnSetFacts(const std::string &strValue, char cOpt)
{
    fnInstallFakeMachine();
    g_cOptChar = cOpt;
    std::string strLong(700, 'L');
    fnCopyBounded(g_szWinDir, sizeof(g_szWinDir), "C:\\WINDOWS");
    fnCopyBounded(g_szSysDir, sizeof(g_szSysDir), "C:\\WINDOWS\\system32");
    fnCopyBounded(g_szProgramFilesDir, sizeof(g_szProgramFilesDir), "C:\\Program Files");
    fnCopyBounded(g_szDestDir, sizeof(g_szDestDir), "C:\\Apps\\Tool\\");
    fnCopyBounded(g_szSourceDir, sizeof(g_szSourceDir), "\\\\server\\share\\src");
    fnCopyBounded(g_szDate, sizeof(g_szDate), "20240131");
    fnCopyBounded(g_szTime, sizeof(g_szTime), "235959");
    fnCopyBounded(g_szPathSlot[0], sizeof(g_szPathSlot[0]), "C:\\Apps\\Tool");
    fnCopyBounded(g_szPathSlot[1], sizeof(g_szPathSlot[1]), strValue.c_str());
    fnCopyBounded(g_szSourceSlot[0], sizeof(g_szSourceSlot[0]), "D:\\");
    fnCopyBounded(g_lpszAskForResponse[0], CCH_ANSWER, "red, green=blue");
    fnCopyBounded(g_lpszAskForResponse[1], CCH_ANSWER, strValue.c_str());
    fnCopyBounded(g_szFromListResponse[0], sizeof(g_szFromListResponse[0]), "\"a,b\",c");
    fnCopyBounded(g_szDefaultSetting[0], sizeof(g_szDefaultSetting[0]), strLong.c_str());
    fnCopyBounded(g_szRegValues[0], sizeof(g_szRegValues[0]), "-NOTFOUND-");
    fnCopyBounded(g_szRegValues[1], sizeof(g_szRegValues[1]), strLong.c_str());
    fnCopyBounded(g_szRegValues[2], sizeof(g_szRegValues[2]), strValue.c_str());
    fnCopyBounded(g_szRegEntry, sizeof(g_szRegEntry), "C:\\Reg\\Entry\\");
    fnCopyBounded(g_szCmdResult[0], sizeof(g_szCmdResult[0]), "0");
    fnCopyBounded(g_szFunResult[3], sizeof(g_szFunResult[3]), strValue.c_str());
    g_szOptionAnswer[0][0] = 'Y';
    g_szOptionAnswer[0][1] = 'N';
    g_uStrTestResult[1] = 7;
    fnCopyBounded(g_szUserName, sizeof(g_szUserName), "jdoe");
    fnCopyBounded(g_szUserPassword, sizeof(g_szUserPassword), "s3cret");
    fnEnCryptString(g_szUserPassword, sizeof(g_szUserPassword));
    g_fake.env["PATH"] = "C:\\WINDOWS;" + strLong;
    g_fake.env["TMP"] = "C:\\TEMP";
    g_fake.env["FUZZ"] = strValue;
    g_fake.registry["2:SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\CommonFilesDir"] = strLong;
    g_fake.shellFolders["Desktop"] = "C:\\Users\\jdoe\\Desktop";
    g_fake.wmi["Win32_BIOS.SerialNumber"] = "SN-1";
    g_fake.smbios[SMBIOS_CPU_SPEED] = "2400MHz";
    g_fake.adapters = "00-11-22-33-44-55-10.0.0.5;66-77-88-99-AA-BB-192.168.1.20";
    g_fake.nAdapters = 2;
    g_fake.mask = "255.255.255.0";
    g_fake.gateway = "10.0.0.1";
    g_fake.sid = "S-1-5-21-1";
    g_fake.cbMemory = 8ull << 30;
    g_fake.shortPaths["C:\\Program Files"] = "C:\\PROGRA~1";
    g_fake.fileVersions["C:\\a.dll"] = "2.0.0.0|2.0";
    g_fake.fileVersions[strValue] = "1.0.0.0|1.0";
    memcpy(s_szFunResultSaved, g_szFunResult, sizeof(g_szFunResult));
    s_uFunResultSaved = g_uFunResult;
}

BOOL fnHasOpt(const char *lpsz, char cOpt)
{
    return strchr(lpsz, cOpt) != NULL;
}

/* Expands a copy in cchRoom characters; returns the result code, text and cut flag. */
int fnExpandCopy(const std::string &strText, size_t cchRoom, std::string &strOut, BOOL *lpbCut)
{
    FuzzBufStruct buf(strText, cchRoom);
    int nRC = fnExpandOptsCut(buf.lpsz, buf.cch, lpbCut);
    FUZZ_CHECK(nRC == EXPAND_NONE || nRC == EXPAND_OK || nRC == EXPAND_MISSING);
    FUZZ_CHECK(strlen(buf.lpsz) < cchRoom);
    strOut = buf.lpsz;
    return nRC;
}

void fnCheckExpansion(const std::string &strField, const std::string &strValue, char cOpt, size_t cchSmall)
{
    std::string strFull, strSmall;
    BOOL bCut = FALSE, bCutSmall = FALSE;
    fnRestoreFunResults();
    int nRC = fnExpandCopy(strField, CCH_FIELD_BUF, strFull, &bCut);
    if (!fnHasOpt(strField.c_str(), cOpt)) {
        /* a field without the option character is data as written, whatever its length */
        FUZZ_CHECK(nRC == EXPAND_NONE && !bCut && strFull == strField.substr(0, CCH_FIELD_BUF - 1));
        return;
    }
    FUZZ_CHECK(strFull.size() <= CCH_EXPANDED - 1);
    /* the same text in a smaller buffer gives the same result, or says it was cut */
    if (strField.size() < cchSmall) {
        fnRestoreFunResults();
        int nRCSmall = fnExpandCopy(strField, cchSmall, strSmall, &bCutSmall);
        FUZZ_CHECK(nRCSmall == nRC);
        if (!bCut && strFull.size() < cchSmall)
            FUZZ_CHECK(!bCutSmall && strSmall == strFull);
        if (strFull.size() >= cchSmall)
            FUZZ_CHECK(bCutSmall);
        if (!bCutSmall)
            FUZZ_CHECK(!bCut && strSmall == strFull);
    }
    /* the data entry point refuses exactly what was cut */
    fnRestoreFunResults();
    FuzzBufStruct data(strField, CCH_FIELD_BUF);
    int nRCData = 7;
    BOOL bOk = fnExpandDataField(data.lpsz, data.cch, "fuzz", &nRCData);
    FUZZ_CHECK(bOk == !bCut && nRCData == nRC);
}

void fnCheckConditions(const std::string &strField, const std::string &strValue, char cOpt)
{
    fnRestoreFunResults();
    FuzzBufStruct line(strField, CCH_LINE_BUF);
    UINT uTest = fnInfTestIfTwoFields(line.lpsz);
    FUZZ_CHECK(uTest >= IDTEST_NONE && uTest <= IDTEST_SKIPREST);
    FUZZ_CHECK(strlen(line.lpsz) < CCH_LINE_BUF);

    fnRestoreFunResults();
    FuzzBufStruct left(strField, CCH_FIELD_BUF), right(strValue, CCH_FIELD_BUF);
    uTest = fnInfTestField(left.lpsz, right.lpsz);
    FUZZ_CHECK(uTest >= IDTEST_GOON && uTest <= IDTEST_SKIPREST);
    FUZZ_CHECK(strlen(left.lpsz) < CCH_FIELD_BUF && strlen(right.lpsz) < CCH_FIELD_BUF);
}

void fnCheckFunctions(const std::string &strField, const std::string &strValue, char cOpt)
{
    fnRestoreFunResults();
    char szResult[CCH_EXPANDED];
    fnCopyBounded(szResult, sizeof(szResult), "unchanged");
    /* the expander hands over at most 259 characters of function text */
    std::string strFun = strField.substr(0, CCH_EXPANDED - 1);
    int n = fnParseFun(strFun.c_str(), szResult, sizeof(szResult));
    FUZZ_CHECK(n == 0 || n == 1);
    FUZZ_CHECK(strlen(szResult) < sizeof(szResult));
    if (!n)
        FUZZ_CHECK(strcmp(szResult, "unchanged") == 0);

    char aszField[FUN_ARGS][CCH_PATH];
    char *alpszField[FUN_ARGS];
    for (int i = 0; i < FUN_ARGS; i++)
        alpszField[i] = (i % 2) ? aszField[i] : NULL;
    fnGetFunFields(strField.c_str(), strValue.size(), alpszField);

    char szSmall[5];
    fnPickArg(strField.c_str(), (UINT)strValue.size() % 11, szSmall, sizeof(szSmall));
    FUZZ_CHECK(strlen(szSmall) < sizeof(szSmall));

    /* a match the search reports is a match */
    const char *lpszFound = fnFunSearch(strField.c_str(), strValue.c_str());
    if (lpszFound) {
        FUZZ_CHECK(lpszFound >= strField.c_str() && lpszFound < strField.c_str() + strField.size());
        FUZZ_CHECK(fnPrefixNoCase(lpszFound, strValue.c_str(), strValue.size()));
    }
}

void fnCheckPathText(const std::string &strField, const std::string &strValue)
{
    char aszPart[6][CCH_PATH];
    fnSplitPath(strField.c_str(), aszPart[0], aszPart[1], aszPart[2], aszPart[3], aszPart[4], aszPart[5]);
    for (auto &sz : aszPart)
        FUZZ_CHECK(strlen(sz) < CCH_PATH);
    char szOut[17];
    const char *lpszDelims = strValue.empty() ? ",=" : strValue.c_str();
    for (UINT n = 0; n < 4; n++) {
        fnGetSubField(strField.c_str(), lpszDelims, n, szOut, sizeof(szOut));
        FUZZ_CHECK(strlen(szOut) < sizeof(szOut));
        fnGetLeadingFields(strField.c_str(), lpszDelims, n, szOut, sizeof(szOut));
        FUZZ_CHECK(strlen(szOut) < sizeof(szOut));
    }
    fnJustLastDir(strField.c_str(), szOut, sizeof(szOut));
    FUZZ_CHECK(strlen(szOut) < sizeof(szOut));
    char szJoin[CCH_PATH];
    if (fnJoinPath(szJoin, sizeof(szJoin), strField.c_str(), strValue.c_str()))
        FUZZ_CHECK(strlen(szJoin) <= strField.size() + strValue.size() + 1);
    FUZZ_CHECK(strlen(szJoin) < sizeof(szJoin));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fnFuzzDebugOn();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *lpData, size_t cbData)
{
    if (cbData < 1)
        return 0;
    BYTE bFlags = lpData[0];
    char cOpt = s_achOptChars[bFlags & 3];
    size_t cchSmall = 1 + ((bFlags >> 2) & 63);
    std::vector<std::string> pieces = fnFuzzPieces(lpData + 1, cbData - 1, 2);
    /* a field is at most a line long; the value may be longer */
    std::string strField = pieces[0].substr(0, CCH_LINE);
    const std::string &strValue = pieces[1];

    fnSetFacts(strValue, cOpt);
    fnCheckExpansion(strField, strValue, cOpt, cchSmall);
    fnCheckConditions(strField, strValue, cOpt);
    fnCheckFunctions(strField, strValue, cOpt);
    fnCheckPathText(strField, strValue);
    g_lpMachine = &g_machineNone;
    return 0;
}
