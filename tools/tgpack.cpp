/*
 * tools/tgpack.cpp -- the packer for administrators: turns setup32.exe and a
 * script into one self-contained installer program.
 *
 *   tgpack <setup32.exe> <script.inf> <out.exe> [--scramble]
 *
 * The output is the program, the marker line and the script (scrambled when
 * asked). Never writes over one of its inputs; exit code 0 on success, 1 when
 * refused or failed, 2 for a wrong command line.
 */
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include "driver/appended.h"

/* TRUE when both names lead to the same existing file. */
static BOOL fnSameFile(const char *lpszA, const char *lpszB)
{
    struct stat stA, stB;
    if (stat(lpszA, &stA) != 0 || stat(lpszB, &stB) != 0)
        return FALSE;
    return stA.st_dev == stB.st_dev && stA.st_ino == stB.st_ino;
}

int main(int argc, char **argv)
{
    BOOL bScramble = FALSE;
    const char *alpszArg[3];
    int nArgs = 0;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--scramble") == 0)
            bScramble = TRUE;
        else if (nArgs < 3 && argv[i][0] != '-')
            alpszArg[nArgs++] = argv[i];
        else
            nArgs = 4;
    }
    if (nArgs != 3) {
        fprintf(stderr, "usage: tgpack <setup32.exe> <script.inf> <out.exe> [--scramble]\n");
        return 2;
    }
    const char *lpszExe = alpszArg[0], *lpszScript = alpszArg[1], *lpszOut = alpszArg[2];
    if (fnSameFile(lpszOut, lpszExe) || fnSameFile(lpszOut, lpszScript)) {
        fprintf(stderr, "tgpack: %s is one of the inputs; choose another output name\n", lpszOut);
        return 1;
    }
    char szError[512];
    if (!fnPackInstaller(lpszExe, lpszScript, lpszOut, bScramble, szError, sizeof(szError))) {
        fprintf(stderr, "tgpack: %s\n", szError);
        return 1;
    }
    printf("tgpack: wrote %s (%s script)\n", lpszOut, bScramble ? "scrambled" : "plain");
    return 0;
}
