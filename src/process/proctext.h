/*
 * process/proctext.h -- the text side of finding running programs: when a
 * process entry matches a name or a path, and the walk over the performance
 * data of the process object (the lookup used where no tool-help snapshot
 * exists). Pure text and byte work over caller buffers, no system calls.
 */
#ifndef TG_PROCESS_PROCTEXT_H
#define TG_PROCESS_PROCTEXT_H

#include "common/tgtypes.h"

/* TRUE when the name holds a folder separator, so it is matched as a whole path. */
BOOL fnIsPathName(const char *lpszName);

/* The file-name part of a path: behind the last '\', '/' or ':'. */
const char *fnPathFileName(const char *lpszPath);

/* Two paths are the same text when they agree ignoring case, with '/' and '\' alike. */
BOOL fnSamePathText(const char *lpszA, const char *lpszB);

/*
 * Does a process entry match lpszName? lpszExeText is the snapshot's executable
 * text (a bare file name on NT systems, a full path on older ones) and
 * lpszImagePath the process's full image path (NULL or empty when unknown).
 * A name with a folder separator is compared as a whole with the image path
 * (and with the executable text when that is a path); a bare name equals the
 * executable text or, with bMatchFileName, its file-name part. Case is ignored.
 */
BOOL fnProcessNameMatches(const char *lpszName, const char *lpszExeText, const char *lpszImagePath,
                          BOOL bMatchFileName);

/*
 * Index of the counter or object called lpszName in a "Counter 009" value:
 * a list of "index\0name\0" pairs of cb bytes, which need not be terminated.
 * 0 when the name is missing or the list is malformed.
 */
DWORD fnPerfCounterIndex(const BYTE *lpData, size_t cb, const char *lpszName);

/*
 * Process ids of the instances of object dwObjectIndex in a performance data
 * block of cb bytes, read from the counter dwCounterIndex ("ID Process"). At
 * most nMax ids are stored. Every length and offset is checked against the
 * block, so a cut or corrupt block gives the ids read so far and never a read
 * past its end. Returns the number of ids stored.
 */
int fnPerfProcessIds(const BYTE *lpData, size_t cb, DWORD dwObjectIndex, DWORD dwCounterIndex, DWORD *lpdwPids,
                     int nMax);

#endif
