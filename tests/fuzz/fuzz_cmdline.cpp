/*
 * tests/fuzz/fuzz_cmdline.cpp -- the command line and the command file
 * reader. The line is split and read into the command-option record; the
 * file's "START" keys reach the record through a reader that answers as the
 * profile reader does (first key of the section, case ignored, blanks around
 * the value removed, cut at the caller's buffer), and the record must hold
 * exactly what the file said.
 * Input: command line, NUL, command file text.
 */
#include "fuzzcommon.h"

#include <map>

#include "common/bounded.h"
#include "driver/cmdline.h"

namespace {

std::string fnTrim(const std::string &s)
{
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos)
        return "";
    size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

std::string fnUpper(std::string s)
{
    for (char &c : s)
        c = fnUpperAscii(c);
    return s;
}

/* The keys of section "START": the first of each name counts. */
std::map<std::string, std::string> fnReadProfile(const std::string &strText)
{
    std::map<std::string, std::string> keys;
    bool bInStart = false;
    size_t i = 0;
    while (i <= strText.size()) {
        size_t j = strText.find_first_of("\r\n", i);
        if (j == std::string::npos)
            j = strText.size();
        std::string strLine = fnTrim(strText.substr(i, j - i));
        i = j + 1;
        if (!strLine.empty() && strLine[0] == '[') {
            size_t close = strLine.find(']');
            bInStart = close != std::string::npos && fnUpper(strLine.substr(1, close - 1)) == "START";
            continue;
        }
        size_t eq = strLine.find('=');
        if (!bInStart || eq == std::string::npos)
            continue;
        std::string strKey = fnUpper(fnTrim(strLine.substr(0, eq)));
        if (!keys.count(strKey))
            keys[strKey] = fnTrim(strLine.substr(eq + 1));
    }
    return keys;
}

void fnProfileReader(void *lpContext, const char *lpszKey, char *lpszOut, size_t cchOut)
{
    auto *lpKeys = static_cast<std::map<std::string, std::string> *>(lpContext);
    auto it = lpKeys->find(fnUpper(lpszKey));
    fnCopyBounded(lpszOut, cchOut, it == lpKeys->end() ? "" : it->second.c_str());
}

std::string fnValue(const std::map<std::string, std::string> &keys, const char *lpszKey, size_t cch)
{
    auto it = keys.find(lpszKey);
    return it == keys.end() ? "" : it->second.substr(0, cch - 1);
}

#define CHECK_TERMINATED(rec, field) FUZZ_CHECK(strnlen((rec).field, sizeof((rec).field)) < sizeof((rec).field))

void fnCheckRecord(const CmdOptionStruct &rec)
{
    CHECK_TERMINATED(rec, szIniFile);
    CHECK_TERMINATED(rec, szSourceDir);
    CHECK_TERMINATED(rec, szDestDir);
    CHECK_TERMINATED(rec, szStartupMsg);
    CHECK_TERMINATED(rec, szAskFor);
    CHECK_TERMINATED(rec, szCmdFile);
    CHECK_TERMINATED(rec, szStartHere);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fnFuzzDebugOn();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *lpData, size_t cbData)
{
    std::vector<std::string> pieces = fnFuzzPieces(lpData, cbData, 2);
    const std::string &strLine = pieces[0];

    CmdOptionStruct rec;
    memset(&rec, 0x5A, sizeof(rec));
    fnParseCmdLine(strLine.c_str(), &rec);
    fnCheckRecord(rec);
    FUZZ_CHECK(rec.nOptions >= 0 && rec.uLoadMode <= 2);
    if (rec.bIniByOption)
        FUZZ_CHECK(rec.bIniNamed);

    /* splitting: every step moves on, and a small buffer cuts the argument */
    const char *lpsz = strLine.c_str();
    char szArg[6];
    int nArgs = 0;
    while (const char *lpszNext = fnNextArg(lpsz, szArg, sizeof(szArg))) {
        FUZZ_CHECK(lpszNext > lpsz && lpszNext <= strLine.c_str() + strLine.size());
        FUZZ_CHECK(strlen(szArg) < sizeof(szArg));
        lpsz = lpszNext;
        FUZZ_CHECK(++nArgs <= (int)strLine.size());
    }

    /* the command file replaces every text and both switches */
    std::map<std::string, std::string> keys = fnReadProfile(pieces[1]);
    fnFillCmdRecord(fnProfileReader, &keys, &rec);
    fnCheckRecord(rec);
    FUZZ_CHECK(rec.szIniFile == fnValue(keys, "INIFILE", sizeof(rec.szIniFile)));
    FUZZ_CHECK(rec.szSourceDir == fnValue(keys, "SOURCEDIR", sizeof(rec.szSourceDir)));
    FUZZ_CHECK(rec.szDestDir == fnValue(keys, "DESTDIR", sizeof(rec.szDestDir)));
    FUZZ_CHECK(rec.szAskFor == fnValue(keys, "ASKFOR", sizeof(rec.szAskFor)));
    FUZZ_CHECK(rec.szCmdFile == fnValue(keys, "CMDFILE", sizeof(rec.szCmdFile)));
    FUZZ_CHECK(rec.szStartupMsg == fnValue(keys, "STARTUPMSG", sizeof(rec.szStartupMsg)));
    FUZZ_CHECK(rec.bStartupMsg == (rec.szStartupMsg[0] != '\0'));
    /* a switch is read from its value as the file wrote it, up to a line's length */
    FUZZ_CHECK(rec.bTempExec == fnCmdSwitchOn(fnValue(keys, "TEMPEXEC", CCH_LINE_BUF).c_str()));
    FUZZ_CHECK(rec.bQuiet == fnCmdSwitchOn(fnValue(keys, "BEQUIET", CCH_LINE_BUF).c_str()));
    return 0;
}
