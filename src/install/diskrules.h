/*
 * install/diskrules.h -- the rules of copying onto a series of disks that
 * need no drive: the byte count a line needs, where its destination lies,
 * and which disk to ask for as the disks fill. The prompts and the free-space
 * measure are handed in, so host tests drive every sequence with fakes.
 */
#ifndef TG_INSTALL_DISKRULES_H
#define TG_INSTALL_DISKRULES_H

#include "common/tgtypes.h"

/*
 * Free bytes a disk line needs: the number made of the field's decimal
 * digits, 64 bits wide and kept at the largest value rather than wrapped; 1
 * when the field is missing or holds no digit.
 */
ULONGLONG fnReadBytesNeeded(const char *lpszText, BOOL bPresent);

/*
 * TRUE when the directory part of a disk line's destination is used as
 * written: it begins with two slashes or backslashes, with "." or ".."
 * followed by a slash or backslash, is "." or "..", or has ":" as its second
 * character. Any other directory lies in the destination folder.
 */
BOOL fnDiskDirAsWritten(const char *lpszDir);

/* The disk series of one section run. */
struct DiskRunStruct {
    int nNextDisk;    /* the number the next new disk is asked by; starts at 2 */
    BOOL bChanged;    /* a disk was asked for (and confirmed) on the current line */
    int nAsked;       /* the number asked for on the current line */
};
void fnStartDiskRun(DiskRunStruct *lpRun);

/* The questions and the measure a disk line needs. */
struct DiskAskStruct {
    BOOL (*pfnInsertDisk)(int nDisk, void *lpContext);                               /* 1062: TRUE for OK */
    ULONGLONG (*pfnFreeBytes)(void *lpContext);                                      /* on the destination drive */
    BOOL (*pfnTooLittle)(ULONGLONG qwFree, ULONGLONG qwNeeded, void *lpContext);     /* 1050: TRUE for OK */
    void *lpContext;
};

/*
 * The disk prompts before one line: with bSwitch the next disk is asked for
 * first; then, while the drive holds fewer free bytes than qwNeeded, a disk
 * is asked for (the one just asked for on this line again, else the next)
 * and, when the new one is still too small, message 1050 follows. Asking
 * for the same disk again does not use up a number, so the numbers stay in
 * step with the disks. FALSE when the user cancelled; lpRun->bChanged tells
 * whether a disk was changed for this line.
 */
BOOL fnDiskPrompts(DiskRunStruct *lpRun, BOOL bSwitch, ULONGLONG qwNeeded, const DiskAskStruct *lpAsk);

#endif
