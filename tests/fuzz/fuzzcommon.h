/*
 * tests/fuzz/fuzzcommon.h -- what the fuzz targets share: the libFuzzer entry
 * points, a check that stops the run with a message (libFuzzer and the corpus
 * replayer both report it as a finding), splitting an input into NUL-separated
 * pieces, and a debug-log sink so every entry is formatted without any window
 * or file.
 */
#ifndef TG_TESTS_FUZZ_FUZZCOMMON_H
#define TG_TESTS_FUZZ_FUZZCOMMON_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "common/runstate.h"
#include "driver/debuglog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *lpData, size_t cbData);
extern "C" int LLVMFuzzerInitialize(int *lpnArgc, char ***lpppszArgv);

#define FUZZ_CHECK(cond)                                                                          \
    do {                                                                                          \
        if (!(cond)) {                                                                            \
            fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);       \
            abort();                                                                              \
        }                                                                                         \
    } while (0)

/* The input cut at its NULs; missing pieces are empty. A piece never holds a NUL. */
inline std::vector<std::string> fnFuzzPieces(const uint8_t *lpData, size_t cbData, size_t nPieces)
{
    std::vector<std::string> pieces(nPieces);
    size_t i = 0;
    for (size_t n = 0; n < nPieces && i <= cbData; n++) {
        size_t j = i;
        while (j < cbData && lpData[j])
            j++;
        /* the last piece keeps what is left, NULs dropped */
        if (n + 1 == nPieces) {
            for (size_t k = i; k < cbData; k++) {
                if (lpData[k])
                    pieces[n] += (char)lpData[k];
            }
            break;
        }
        pieces[n].assign((const char *)lpData + i, j - i);
        i = j + 1;
    }
    return pieces;
}

/* A copy on the heap of exactly cch characters (text and room), so the sanitizer sees every overrun. */
struct FuzzBufStruct {
    char *lpsz;
    size_t cch;
    FuzzBufStruct(const std::string &s, size_t cchRoom) : cch(cchRoom)
    {
        lpsz = (char *)malloc(cch);
        size_t n = s.size() < cch ? s.size() : cch - 1;
        memcpy(lpsz, s.data(), n);
        lpsz[n] = '\0';
    }
    ~FuzzBufStruct() { free(lpsz); }
    FuzzBufStruct(const FuzzBufStruct &) = delete;
    FuzzBufStruct &operator=(const FuzzBufStruct &) = delete;
};

/* Debug-log entries are formatted and read to their end, then dropped. */
inline int fnFuzzDebugSink(UINT, const char *lpszTitle, const char *lpszText)
{
    volatile size_t n = strlen(lpszTitle) + strlen(lpszText);
    (void)n;
    return 0;
}

/* FUZZ_DEBUGLOG=0 in the environment leaves the log off (faster, less covered). */
inline void fnFuzzDebugOn(void)
{
    const char *lpsz = getenv("FUZZ_DEBUGLOG");
    g_pfnDebugUi = fnFuzzDebugSink;
    g_uDebugLevel = (lpsz && lpsz[0] == '0') ? 0 : 2;
}

#endif
