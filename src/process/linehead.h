/*
 * process/linehead.h -- what the program and close sections share: the test
 * at the head of each line ("left=right,..." compared like a condition) and
 * the words of the button field.
 */
#ifndef TG_PROCESS_LINEHEAD_H
#define TG_PROCESS_LINEHEAD_H

#include "common/tgtypes.h"

/*
 * Compares fields 0 and 1 of the line with fnInfTestField (a line without
 * field 0 compares an empty left side) and returns its IDTEST_ result. When
 * field 0 is there but field 1 is missing, returns IDTEST_FALSE with
 * *lpbMissing set, so the caller reports the missing field.
 */
UINT fnTestLineHead(const char *lpszLine, BOOL *lpbMissing);

/* Message window type of a button word: "OK" 104, "OKCANCEL" 101, "YESNO" 102 (also the default), "OKEXIT" 103. */
UINT fnButtonWordType(const char *lpszWord);

#endif
