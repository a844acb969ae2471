/*
 * driver/selfdelete.h -- the text of the self-removal batch "_TGDEL.BAT":
 * it deletes the program once the program has ended (trying about once a
 * second, read-only or not, and giving up after a bounded number of tries),
 * then the test file beside it, then itself. Without the test file it only
 * deletes itself.
 */
#ifndef TG_DRIVER_SELFDELETE_H
#define TG_DRIVER_SELFDELETE_H

#include "common/tgtypes.h"

#define SELFDELETE_TRIES 30
#define CCH_SELFDELETE_BATCH 2048

/*
 * Writes the batch text for the test file, the program and the batch file
 * itself into lpszOut. A '%' in a path is doubled so the command interpreter
 * reads it as written. FALSE (and no text) when a path is empty, holds a
 * double quote or a line break, or the text would not fit.
 */
BOOL fnBuildSelfDeleteBatch(const char *lpszTestFile, const char *lpszProgram, const char *lpszBatch,
                            char *lpszOut, size_t cchOut);

#endif
