/*
 * tests/fuzz/fuzz_textmodel.cpp -- the text model over arbitrary script
 * bytes: the section walk as the driver makes it (with its temporary
 * terminator before the next header), name lists, the section and line
 * searches, instruction lines and every field of each line.
 * Input: script text, NUL, a name list, NUL, a name to look for. The script
 * ends at its first NUL as the loaded text does; a missing final line break
 * and lines longer than 1,024 characters are the fuzzer's to find.
 */
#include "fuzzcommon.h"

#include "common/bounded.h"
#include "script/textmodel.h"

namespace {

BOOL fnIsBreak(char c)
{
    return c == '\r' || c == '\n';
}

/* A position the model hands out lies in the text, at its end or just behind a line break. */
void fnCheckPos(const char *lpszPos, const char *lpszText, const char *lpszEnd)
{
    FUZZ_CHECK(lpszPos >= lpszText && lpszPos <= lpszEnd);
}

void fnCheckFields(const char *lpszLine)
{
    size_t cchLine = strlen(lpszLine);
    for (int nField = -1; nField <= 6; nField++) {
        char szLine[CCH_LINE_BUF];
        fnCopyBounded(szLine, sizeof(szLine), lpszLine);
        char szField[CCH_FIELD_BUF];
        memset(szField, 'x', sizeof(szField));
        int n = fnInfParseField(szLine, nField, szField, sizeof(szField));
        FUZZ_CHECK(n == 0 || n == 1);
        FUZZ_CHECK(strlen(szField) <= cchLine);
        if (!n)
            FUZZ_CHECK(szField[0] == '\0');
        /* the double-equals rewrite changes one character, never the length */
        FUZZ_CHECK(strlen(szLine) == cchLine);
    }
    /* a small field buffer cuts, never overruns */
    char szLine[CCH_LINE_BUF], szSmall[8];
    fnCopyBounded(szLine, sizeof(szLine), lpszLine);
    fnInfParseField(szLine, (int)(cchLine % 4), szSmall, sizeof(szSmall));
    FUZZ_CHECK(strlen(szSmall) < sizeof(szSmall));
}

/* Reads a section body line by line as every handler does. */
void fnReadBody(const char *lpszPos, const char *lpszText, const char *lpszEnd)
{
    char szLine[CCH_LINE_BUF];
    int nLines = 0;
    while (lpszPos && *lpszPos) {
        const char *lpszNext = fnInfGetNextLine(lpszPos, szLine, sizeof(szLine));
        if (!lpszNext)
            break;
        fnCheckPos(lpszNext, lpszText, lpszEnd);
        FUZZ_CHECK(lpszNext > lpszPos || !*lpszNext);
        if (!szLine[0])
            break;
        size_t cch = strlen(szLine);
        FUZZ_CHECK(cch <= CCH_LINE);
        FUZZ_CHECK(szLine[0] != '[' && szLine[0] != ';' && szLine[0] != ' ' && szLine[0] != '\t');
        FUZZ_CHECK(!strchr(szLine, '\r') && !strchr(szLine, '\n'));
        FUZZ_CHECK(szLine[cch - 1] != ' ' && szLine[cch - 1] != '\t');
        if (nLines++ < 4)
            fnCheckFields(szLine);
        lpszPos = lpszNext;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fnFuzzDebugOn();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *lpData, size_t cbData)
{
    std::vector<std::string> pieces = fnFuzzPieces(lpData, cbData, 3);
    const std::string &strScript = pieces[0];
    std::string strList = pieces[1].empty() ? "[Files],[Registry],[End],[AskFor]" : pieces[1];
    const std::string &strName = pieces[2];

    /* the script is writable: the section walk ends each section's text in place */
    FuzzBufStruct script(strScript, strScript.size() + 1);
    char *lpszText = script.lpsz;
    const char *lpszEnd = lpszText + strScript.size();

    const char *lpszPos = lpszText;
    for (int nSections = 0; nSections < 16; nSections++) {
        const char *lpszHeader = NULL, *lpszNext = NULL;
        int nFound = fnGetNextSection(lpszPos, &lpszHeader, &lpszNext);
        if (!nFound) {
            FUZZ_CHECK(!lpszHeader);
            break;
        }
        fnCheckPos(lpszHeader, lpszText, lpszEnd);
        FUZZ_CHECK(*lpszHeader == '[');
        if (lpszNext) {
            FUZZ_CHECK(lpszNext > lpszHeader && lpszNext < lpszEnd && *lpszNext == '[');
        }
        char *lpszCut = NULL;
        char cSaved = 0;
        if (lpszNext && lpszNext > lpszText) {
            char *lpszBefore = lpszText + (lpszNext - lpszText) - 1;
            if (fnIsBreak(*lpszBefore)) {
                lpszCut = lpszBefore;
                cSaved = *lpszBefore;
                *lpszBefore = '\0';
            }
        }
        const char *lpszSectionEnd = lpszHeader + strlen(lpszHeader);

        char szMatched[CCH_PATH];
        memset(szMatched, 'x', sizeof(szMatched));
        BOOL bMatch = fnIsInfSection(lpszHeader, strList.c_str(), szMatched, sizeof(szMatched));
        FUZZ_CHECK(strlen(szMatched) < sizeof(szMatched));
        if (bMatch) {
            /* the list's own spelling of the header's name, brackets included */
            size_t cch = strlen(szMatched);
            FUZZ_CHECK(cch >= 1 && fnPrefixNoCase(lpszHeader, szMatched, cch) && szMatched[cch - 1] == ']');
        } else {
            FUZZ_CHECK(szMatched[0] == '\0');
        }

        /* the handler finds its body by the whole trimmed header line */
        char szHeaderLine[CCH_LINE_BUF];
        size_t n = 0;
        while (lpszHeader[n] && !fnIsBreak(lpszHeader[n]) && n < CCH_LINE)
            n++;
        fnCopyBoundedN(szHeaderLine, sizeof(szHeaderLine), lpszHeader, n);
        fnTrimBlanks(szHeaderLine);
        const char *lpszBody = fnInfFindSection(lpszHeader, bMatch ? szMatched : szHeaderLine);
        if (lpszBody) {
            fnCheckPos(lpszBody, lpszHeader, lpszSectionEnd);
            FUZZ_CHECK(lpszBody > lpszHeader && fnIsBreak(lpszBody[-1]));
        }
        fnReadBody(lpszBody, lpszHeader, lpszSectionEnd);
        int nCount = fnInfCountLines(lpszHeader, szHeaderLine, 9);
        FUZZ_CHECK(nCount >= 0 && nCount <= 9);
        char szField[CCH_FIELD_BUF];
        for (int i : {0, 1, nCount, nCount + 1}) {
            int nLoad = fnInfLoadSection(lpszHeader, i, szHeaderLine, szField, sizeof(szField));
            /* every counted line has a field 1; beyond the count only a capped count may go on */
            if (i >= 1 && i <= nCount)
                FUZZ_CHECK(nLoad == 1);
            else if (i == 0 || nCount < 9)
                FUZZ_CHECK(nLoad == 0);
        }

        if (lpszCut)
            *lpszCut = cSaved;
        if (!lpszNext)
            break;
        lpszPos = lpszNext;
    }
    /* the text is as it was once every section's terminator is back */
    FUZZ_CHECK(memcmp(lpszText, strScript.data(), strScript.size()) == 0);

    /* the line searches over the whole text and the body before the first header */
    const char *lpszFound = fnInfFindLine(lpszText, strName.c_str());
    if (lpszFound) {
        fnCheckPos(lpszFound, lpszText, lpszEnd);
        FUZZ_CHECK(lpszFound > lpszText && fnIsBreak(lpszFound[-1]));
    }
    lpszFound = fnInfFindSection(lpszText, strName.c_str());
    if (lpszFound)
        fnCheckPos(lpszFound, lpszText, lpszEnd);
    fnReadBody(lpszText, lpszText, lpszEnd);

    /* trimming and quote stripping only ever shorten a text */
    FuzzBufStruct name(strName, strName.size() + 1);
    fnTrimBlanks(name.lpsz);
    FUZZ_CHECK(strlen(name.lpsz) <= strName.size());
    size_t cchTrimmed = strlen(name.lpsz);
    fnStripQuotes(name.lpsz);
    FUZZ_CHECK(strlen(name.lpsz) <= cchTrimmed);
    return 0;
}
