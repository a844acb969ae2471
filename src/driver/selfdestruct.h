/*
 * driver/selfdestruct.h -- removing the program's own file after it ends:
 * a batch file "_TGDEL.BAT" in the temporary folder deletes the program
 * once it can (see selfdelete.h for its text), then a test file "_TG*.tmp"
 * beside the program, then itself.
 */
#ifndef TG_DRIVER_SELFDESTRUCT_H
#define TG_DRIVER_SELFDESTRUCT_H

#include <windows.h>

/*
 * With bDoNow, writes the batch for this program and starts it without
 * waiting. TRUE when the batch was started, or when bDoNow is FALSE. A
 * failure leaves the program, and nothing else, in place.
 */
BOOL fnSelfDestruct(BOOL bDoNow);

/*
 * The same for the program file lpszProgram with the batch in lpszTmpPath,
 * so tests can remove a copy instead of themselves.
 */
BOOL fnSelfDestructFor(const char *lpszProgram, const char *lpszTmpPath);

#endif
