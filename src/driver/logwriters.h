/*
 * driver/logwriters.h -- appending lines to text files: the debug file, the
 * installation log and the lines the configuration editors write.
 */
#ifndef TG_DRIVER_LOGWRITERS_H
#define TG_DRIVER_LOGWRITERS_H

#include <stdarg.h>
#include "common/tgfile.h"
#include "common/tgtypes.h"

#define CCH_APPEND_BUF 2048   /* one appended entry is cut here */

/*
 * Formats into a 2,048-character buffer, adds "\r\n" when bCrLf is 1, opens
 * the file for writing (creating it when needed), writes at its end and
 * closes it. A file that cannot be opened is passed over.
 */
void fnAppendLine(const char *lpszFile, const char *lpszFormat, BOOL bCrLf, va_list args);
void fnAppendLineF(const char *lpszFile, BOOL bCrLf, const char *lpszFormat, ...)
#ifdef __GNUC__
    __attribute__((format(printf, 3, 4)))
#endif
    ;

/* Writes the text without its terminator: 0 on success or for an empty text, -1 on a write error. */
int fnWriteToFile(TGFILE hFile, const char *lpszBuffer);
/* Writes the text and "\r\n"; an empty text writes nothing. 1 on success, 0 on a write error. */
BOOL fnWriteLine(TGFILE hFile, const char *lpszText);

/* 1 when the text holds none of the characters ",<>|". */
BOOL fnIsValidName(const char *lpszText);

/* Appends one entry to the installation log; does nothing (and returns 1) when none is open. */
BOOL fnWriteLog(const char *lpszFormat, BOOL bCrLf, ...)
#ifdef __GNUC__
    __attribute__((format(printf, 1, 3)))
#endif
    ;

/*
 * Reads one line of an open text file into lpszBuffer (cbBuffer bytes): 0 when
 * more lines follow, 1 at the last line or the end of the file (Ctrl-Z ends
 * it), -1 when the line fills the whole buffer or the position cannot be read
 * or set. A CR LF behind the line stays in the buffer; the file position is
 * left just behind what the buffer holds.
 */
int fnReadLineFromFile(TGFILE hFile, char *lpszBuffer, DWORD cbBuffer);

#endif
