/*
 * common/tgfile.h -- the small file layer under the log writers and the line
 * editors, so they stay portable: Windows handles in the program, stdio on the
 * host. A TGFILE of NULL is "no file"; positions are byte offsets from the start.
 */
#ifndef TG_COMMON_TGFILE_H
#define TG_COMMON_TGFILE_H

#include "common/tgtypes.h"

typedef void *TGFILE;

/* Opens for writing, creating the file when it does not exist; position at 0. */
TGFILE fnFileOpenWrite(const char *lpszPath);
/* Opens an existing file for reading, sharing read and write. */
TGFILE fnFileOpenRead(const char *lpszPath);
/* Creates or empties the file and opens it for writing. */
TGFILE fnFileCreate(const char *lpszPath);
BOOL fnFileRead(TGFILE hFile, void *lpBuffer, DWORD cbToRead, DWORD *lpcbRead);
BOOL fnFileWrite(TGFILE hFile, const void *lpBuffer, DWORD cbToWrite, DWORD *lpcbWritten);
BOOL fnFileTell(TGFILE hFile, DWORD *lpdwPos);
BOOL fnFileSeek(TGFILE hFile, DWORD dwPos);
BOOL fnFileSeekEnd(TGFILE hFile);
void fnFileClose(TGFILE hFile);
/* The system error code of the last failed call of this layer. */
DWORD fnFileLastError(void);

#endif
