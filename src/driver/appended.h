/*
 * driver/appended.h -- scripts carried behind the program file: the marker
 * line in front of them, finding and reading what follows it, and writing a
 * program with a script appended (the packer). Portable: the packer runs on
 * the administrator's build machine as well as in the program.
 */
#ifndef TG_DRIVER_APPENDED_H
#define TG_DRIVER_APPENDED_H

#include "common/tgtypes.h"

/* The script buffer holds at most this many bytes of script and its terminator. */
#define CB_SCRIPT_BUFFER 262140
#define CB_SCRIPT_MAX (CB_SCRIPT_BUFFER - 1)

/* A marker must be shorter than this. */
#define CCH_MARKER_LIMIT 65500

/*
 * The marker word and the interleaved header word (strings 1014 and 1292).
 * The whole marker line never stands in any program file as one text: it is
 * put together at run time, so the only marker in a packed program is the one
 * in front of its script.
 */
#define MARKER_WORD "TG7K9"
#define MARKER_HEADER "T00a00l00l00g00r00i00d00 I00N00F00H00d00r00"

/* Builds "<-- word -- header -- word -->"; FALSE when it does not fit. */
BOOL fnBuildMarker(const char *lpszWord, const char *lpszHeader, char *lpszOut, size_t cchOut);

/*
 * Finds lpszString in lpszFile (the last occurrence with bFromEnd, else the
 * first) and reads up to *lpdwSize of the bytes behind it into lpBuffer;
 * *lpdwSize is then the number read. FALSE, with *lpdwSize 0, when the file
 * cannot be read, the marker is empty or too long, or it is not there.
 */
BOOL fnLoadFileAfterString(const char *lpszFile, const char *lpszString, char *lpBuffer, DWORD *lpdwSize,
                           BOOL bFromEnd);

/* Position of the first lpszString in cb bytes of lpData, or -1. NULs in the data are ordinary bytes. */
LONGLONG fnFindBytes(const char *lpData, size_t cb, const char *lpszString);

/*
 * Writes lpszOut: the program lpszExe, the marker line and the script
 * lpszScript, scrambled with a random offset when bScramble is set (a script
 * that is scrambled already is appended as it is). Refuses an empty script,
 * one that holds the marker line, and one whose appended form would not fit
 * the script buffer. On FALSE lpszError says why, and a half-written output
 * has been removed when the platform allows (the caller checks that the
 * output is not one of the inputs).
 */
BOOL fnPackInstaller(const char *lpszExe, const char *lpszScript, const char *lpszOut, BOOL bScramble,
                     char *lpszError, size_t cchError);

#endif
