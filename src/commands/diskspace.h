/*
 * commands/diskspace.h -- folder sizes and disk space for the GetFolderSize
 * and Get...Space commands. The arithmetic and the folder walk are portable
 * (the walk reads directories through a lister the caller gives); the
 * Windows side asks the system (diskspace_win.cpp).
 */
#ifndef TG_COMMANDS_DISKSPACE_H
#define TG_COMMANDS_DISKSPACE_H

#include "common/tgtypes.h"

#define DIRENTRY_DIRECTORY 0x10u
#define DIRENTRY_REPARSE 0x400u

/* One directory entry as the lister hands it over. */
struct DirEntryStruct {
    const char *lpszName;
    DWORD dwAttributes;   /* DIRENTRY_... bits of the file attributes */
    ULONGLONG ullSize;
};

/* Called for each entry; FALSE stops the listing. */
typedef BOOL (*DirEntryProc)(const DirEntryStruct *lpEntry, void *lpContext);
/* Lists the entries of lpszDir (no pattern): FALSE when the folder cannot be read. */
typedef BOOL (*DirListProc)(const char *lpszDir, DirEntryProc pfnEntry, void *lpContext);

/*
 * The sum of every file's size under lpszDir, subfolders walked in turn;
 * "." and ".." and entries with the reparse-point attribute are passed over
 * (neither counted nor entered), and so is a folder whose path would not fit
 * in 260 characters (logged, never cut into another folder's name).
 */
ULONGLONG fnCalcFolderSize(const char *lpszDir, DirListProc pfnList);

/* TRUE for a drive letter with its colon, with or without one backslash ("C:", "C:\"). */
BOOL fnIsDriveOnly(const char *lpszPath);

/* Sizes of one drive; every field 0 when the drive could not be asked. */
struct DiskSpaceStruct {
    ULONGLONG ullFree;
    ULONGLONG ullAvail;
    ULONGLONG ullTotal;
    ULONGLONG ullUsed;
};

/* Free and total from cluster counts, in 64 bits; available is free, used never below 0. */
void fnSpaceFromClusters(DWORD dwSectorsPerCluster, DWORD dwBytesPerSector, DWORD dwFreeClusters,
                         DWORD dwTotalClusters, DiskSpaceStruct *lpSpace);
/* Used space: total less free, 0 when a quota makes the total the smaller. */
ULONGLONG fnUsedSpace(ULONGLONG ullTotal, ULONGLONG ullFree);

/* The drive part of a path with a backslash ("C:\", "\\server\share\"); FALSE when it has none. */
BOOL fnDriveRoot(const char *lpszPath, char *lpszRoot, size_t cchRoot);

#endif
