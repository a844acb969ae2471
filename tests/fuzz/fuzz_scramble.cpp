/*
 * tests/fuzz/fuzz_scramble.cpp -- unscrambling arbitrary blocks as the loader
 * meets them (an at sign, an offset byte, the body), the scramble round trip
 * both ways, the string form of stored values, and the search for the
 * appended-script marker in a file, checked against a plain byte-by-byte scan.
 * Input: a control byte (marker choice, bytes wanted), then the block, which
 * is also the file searched.
 */
#include "fuzzcommon.h"

#include <unistd.h>

#include "common/bounded.h"
#include "driver/appended.h"
#include "driver/scramble.h"

namespace {

std::string s_strFile;
char s_szMarker[128];

void fnRemoveFile(void)
{
    if (!s_strFile.empty())
        unlink(s_strFile.c_str());
}

/* Bytes 0 and 128-255 pass through both directions unchanged, and nothing else becomes one. */
void fnCheckPassThrough(const std::string &strBefore, const char *lpAfter)
{
    for (size_t i = 0; i < strBefore.size(); i++) {
        BYTE b = (BYTE)strBefore[i], a = (BYTE)lpAfter[i];
        if (b == 0 || b > 127)
            FUZZ_CHECK(a == b);
        else
            FUZZ_CHECK(a >= 1 && a <= 127);
    }
}

void fnCheckBlock(const std::string &strBlock, UINT uOffset)
{
    if (strBlock.empty())
        return;
    std::string str = strBlock;
    /* the loader's reading of a scrambled script: '@', the offset byte, the body */
    if (str.size() >= 2 && str[0] == '@') {
        UINT uStored = (BYTE)str[1];
        std::string strBody = str.substr(2);
        if (!strBody.empty()) {
            BOOL bOk = fnShiftDeCrypt(&strBody[0], uStored, (DWORD)strBody.size());
            if (!bOk) {
                FUZZ_CHECK(uStored >= CCH_SCRAMBLE_ALPHABET && strBody == str.substr(2));
            } else {
                fnCheckPassThrough(str.substr(2), strBody.data());
                /* scrambling what was unscrambled gives the stored body back */
                FUZZ_CHECK(fnShiftEnCrypt(&strBody[0], uStored, (DWORD)strBody.size()));
                FUZZ_CHECK(strBody == str.substr(2));
            }
        }
    }
    /* scrambling as the packer and the on-disk mode do, then reading it back */
    UINT uRow = SCRAMBLE_OFFSET_MIN + uOffset % (SCRAMBLE_OFFSET_MAX - SCRAMBLE_OFFSET_MIN + 1);
    FUZZ_CHECK(fnShiftEnCrypt(&str[0], uRow, (DWORD)str.size()));
    fnCheckPassThrough(strBlock, str.data());
    FUZZ_CHECK(fnShiftDeCrypt(&str[0], uRow, (DWORD)str.size()));
    FUZZ_CHECK(str == strBlock);

    /* the string form: a text, then its offset as one more character */
    std::string strText = strBlock.substr(0, strBlock.find('\0'));
    size_t cchRoom = strText.size() + 1 + uOffset % 3;
    FuzzBufStruct text(strText, cchRoom);
    BOOL bEn = fnEnCryptString(text.lpsz, text.cch);
    FUZZ_CHECK(bEn == (!strText.empty() && strText.size() + 2 <= cchRoom));
    if (bEn) {
        FUZZ_CHECK(strlen(text.lpsz) == strText.size() + 1);
        FUZZ_CHECK(fnDeCryptString(text.lpsz));
        FUZZ_CHECK(strText == text.lpsz);
    } else {
        FUZZ_CHECK(strText == text.lpsz);
    }
    /* a stored value that is damaged is refused or read, never overrun */
    FuzzBufStruct damaged(strText, strText.size() + 1);
    if (fnDeCryptString(damaged.lpsz))
        FUZZ_CHECK(strlen(damaged.lpsz) + 1 == strText.size());
}

/* The first or last place of the marker by the plain scan, or -1. */
long long fnPlainSearch(const std::string &strFile, const std::string &strMarker, bool bFromEnd)
{
    if (strMarker.empty() || strFile.size() < strMarker.size())
        return -1;
    long long llFound = -1;
    for (size_t i = 0; i + strMarker.size() <= strFile.size(); i++) {
        if (memcmp(strFile.data() + i, strMarker.data(), strMarker.size()) == 0) {
            llFound = (long long)i;
            if (!bFromEnd)
                break;
        }
    }
    return llFound;
}

void fnCheckMarkerSearch(const std::string &strFile, BYTE bControl)
{
    /* the real marker, or a short one taken from the file so that it is often there */
    std::string strMarker = s_szMarker;
    if (bControl & 1) {
        size_t cch = 1 + ((bControl >> 1) & 7);
        size_t at = strFile.size() > cch ? (bControl * 131u) % (strFile.size() - cch) : 0;
        strMarker = strFile.substr(at, cch);
        strMarker = strMarker.substr(0, strMarker.find('\0'));
    }
    FUZZ_CHECK(fnFindBytes(strFile.data(), strFile.size(), strMarker.c_str()) == fnPlainSearch(strFile, strMarker, false));

    FILE *f = fopen(s_strFile.c_str(), "wb");
    FUZZ_CHECK(f != NULL);
    FUZZ_CHECK(fwrite(strFile.data(), 1, strFile.size(), f) == strFile.size());
    fclose(f);
    for (int nFromEnd = 0; nFromEnd < 2; nFromEnd++) {
        long long llAt = fnPlainSearch(strFile, strMarker, nFromEnd != 0);
        DWORD dwWant = (bControl & 16) ? (DWORD)(bControl >> 5) : (DWORD)strFile.size() + 3;
        char *lpBuffer = (char *)malloc(dwWant ? dwWant : 1);
        DWORD dwSize = dwWant;
        BOOL bOk = fnLoadFileAfterString(s_strFile.c_str(), strMarker.c_str(), lpBuffer, &dwSize, nFromEnd);
        FUZZ_CHECK(bOk == (llAt >= 0));
        if (bOk) {
            size_t cbAfter = strFile.size() - (size_t)llAt - strMarker.size();
            FUZZ_CHECK(dwSize == (cbAfter < dwWant ? cbAfter : dwWant));
            FUZZ_CHECK(memcmp(lpBuffer, strFile.data() + llAt + strMarker.size(), dwSize) == 0);
        } else {
            FUZZ_CHECK(dwSize == 0);
        }
        free(lpBuffer);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fnFuzzDebugOn();
    const char *lpszTmp = getenv("TMPDIR");
    char szPath[512];
    fnFormatBounded(szPath, sizeof(szPath), "%s/tgfuzz_scramble_%ld.bin", lpszTmp && *lpszTmp ? lpszTmp : "/tmp",
                    (long)getpid());
    s_strFile = szPath;
    atexit(fnRemoveFile);
    fnBuildMarker(MARKER_WORD, MARKER_HEADER, s_szMarker, sizeof(s_szMarker));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *lpData, size_t cbData)
{
    if (cbData < 1)
        return 0;
    BYTE bControl = lpData[0];
    std::string strBlock((const char *)lpData + 1, cbData - 1);
    fnCheckBlock(strBlock, bControl);
    fnCheckMarkerSearch(strBlock, bControl);
    return 0;
}
