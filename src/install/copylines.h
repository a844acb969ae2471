/*
 * install/copylines.h -- reading the lines of the file-copy sections
 * ("[Files]", "[CopyFiles]") and of the disk-copy sections ("[MakeDisks]",
 * "[CopyFilesToDisks]"): their header keys, one file line into the
 * install-file record with its directories resolved, the source a line names
 * for the counting pass, the disk labels, and named sections found anywhere
 * in the script. Nothing here touches the file system, so the host tests
 * read every line form.
 */
#ifndef TG_INSTALL_COPYLINES_H
#define TG_INSTALL_COPYLINES_H

#include "common/tgtypes.h"
#include "install/ifstruct.h"
#include "script/keytable.h"

/* Header keys of the copy sections (the move sections read the same ones). */
enum { CPKEY_TOTALFILES = 1, CPKEY_BEQUIET, CPKEY_EXPANDDELIMS, CPKEY_DISKSSECTION, CPKEY_DIRSSECTION };
extern const SectionKeyStruct g_aCopyHeaderKeys[];

struct CopyHeaderStruct {
    BOOL bTotal;          /* TotalFiles was given: no counting pass */
    UINT uTotalFiles;
    int nBeQuiet;         /* -1 not given, 0 "N" (progress dialog), 1 "Y" (none) */
    char szDisksSection[CCH_TITLE];
    char szDirsSection[CCH_TITLE];
};

/* The defaults: no TotalFiles, BeQuiet not given, disks "[Disks]", directories lpszDirs. */
void fnInitCopyHeader(CopyHeaderStruct *lpHdr, const char *lpszDirs);

/*
 * Reads the header lines from *lplpszPos, which then stands at the first
 * file line. A condition that fails (103) or a section condition that holds
 * (101) passes over its line; 104 ends the header (*lpbEnd is set then: the
 * section has nothing more to do). ExpandDelims goes to g_szExpandDelims.
 * A section name without brackets gets them.
 */
void fnReadCopyHeader(const char **lplpszPos, CopyHeaderStruct *lpHdr, BOOL *lpbEnd);

/* Results of the line readers */
enum { COPYLINE_ERROR = 0, COPYLINE_READ = 1, COPYLINE_END = 2 };

/* What a line reader found out besides the record. */
struct CopyLineStruct {
    UINT uTest;               /* condition result: IDTEST_NONE, _TRUE, _GOON, _FALSE or _SKIPREST */
    UINT uMessage;            /* with COPYLINE_ERROR: 1104 (invalid characters) or 1046 */
    char szBadName[CCH_PATH]; /* the field that holds invalid characters, for 1104 */
    BOOL bSwitchDisk;         /* disk lines: ask for the next disk first */
    ULONGLONG qwNeeded;       /* disk lines: free bytes the line needs */
    BOOL bDescription;        /* disk lines: the line had a description */
};

/*
 * Reads the next file line from *lplpszPos into the record: the disk
 * (szDisk, bDiskGiven), the source (szSrcFilePath resolved against
 * g_szSourceDir, szSrcFileName), the destination (szDstDir resolved against
 * g_szDestDir, szDstFileName), the flag letters and the description. The
 * fields of the previous line that a line does not set are cleared, so no
 * line works with another's leftovers. A line whose condition says skip
 * (or a section condition) fills only lpLine->uTest. COPYLINE_END when the
 * section has no more lines.
 */
UINT fnReadCopyFileLine(const char **lplpszPos, IFStruct *lpIF, CopyLineStruct *lpLine);

/*
 * The same for a disk-copy line: disk, source, destination (a directory
 * part used as written only in the forms of fnDiskDirAsWritten), the
 * description with its "+" (recursion), the switch-disk word and the bytes
 * needed (64 bits). The record's modes are left as the section set them.
 */
UINT fnReadDiskFileLine(const char **lplpszPos, IFStruct *lpIF, CopyLineStruct *lpLine);

/*
 * For the counting pass: the resolved source path of a file or disk line
 * lpszLine (no condition is evaluated: a conditioned line counts as if it ran) and
 * whether a wildcard in it reaches into subdirectories. FALSE when the line
 * names no source.
 */
BOOL fnCopyLineSource(const char *lpszLine, char *lpszOut, size_t cchOut, BOOL *lpbRecurse);

/*
 * "[CopyConfig]" from its body: FilesToCopy (*lpbFiles set, the number to
 * *lpuFiles) and BeQuiet (sets or clears g_bQuiet).
 */
void fnReadCopyConfig(const char *lpszBody, BOOL *lpbFiles, UINT *lpuFiles);

/*
 * The label of disk lpszDisk in the disks section whose lines start at
 * lpszBody (keys compared by their digits, so "D1" finds "1="), expanded.
 * FALSE when there is none (lpszOut is then empty).
 */
BOOL fnFindDiskLabel(const char *lpszBody, const char *lpszDisk, char *lpszOut, size_t cchOut);

/* start of the script text the section walk runs over (NULL outside a walk) */
extern const char *g_lpszInfStart;

/*
 * The body of the named section anywhere in the running script: before the
 * running section (from g_lpszInfStart) or after it (from
 * g_lpszNextSection). NULL when the script has none.
 */
const char *fnFindScriptSection(const char *lpszName);

/*
 * A directory of a line: an absolute one (drive or UNC) as written, any
 * other joined to lpszBase, with "." and ".." levels resolved; an empty one
 * is lpszBase. FALSE when the result would not fit.
 */
BOOL fnResolveLineDir(const char *lpszDir, const char *lpszBase, char *lpszOut, size_t cchOut);

/*
 * The source folder lpszGiven as the disk spells it (lpszOnDisk, equal but
 * for case): the lines resolve their sources against it while g_szSourceDir
 * is lpszGiven. NULL forgets it. Each copy section sets it anew, so a
 * section never works with what an earlier one found.
 */
void fnSetSourceCase(const char *lpszGiven, const char *lpszOnDisk);

#endif
