/*
 * config/cfgfile.h -- configuration files on disk for the sections that edit
 * them ("[IniEdits]", the AUTOEXEC.BAT lines of "[SetEnvironment]") and read
 * them ("[ReadDefaults]"): where a bare name lies, the run-wide record of
 * backed-up files, and the edit that writes a temporary file beside the file
 * and puts it in place in one step with its attributes kept.
 */
#ifndef TG_CONFIG_CFGFILE_H
#define TG_CONFIG_CFGFILE_H

#include <windows.h>

#include "config/lineedit.h"

/*
 * The full path of a configuration file named in a script. A name without a
 * folder lies in the Windows folder for the profile functions (bProfile), as
 * they would take it, else in the current folder. FALSE when it would not fit.
 */
BOOL fnResolveConfigPath(const char *lpszName, BOOL bProfile, char *lpszOut, size_t cchOut);

/* What a file edit tells its section. */
enum {
    CFGEDIT_DONE = 0,  /* edited (or nothing to do) */
    CFGEDIT_NEXT = 1,  /* the line failed and the user chose to go on (or it was skipped) */
    CFGEDIT_STOP = 2   /* the user chose to stop, or a quiet batch edit failed */
};

/* Who edits, which decides the questions. */
enum {
    CFGMODE_INIEDIT = 0,    /* "[IniEdits]": every question is asked, also in a quiet run */
    CFGMODE_BATCH = 1,      /* AUTOEXEC.BAT from "[SetEnvironment]" */
    CFGMODE_BATCHQUIET = 2  /* the same with the line's quiet flag: nothing is asked */
};

/* One edit of one file. */
struct CfgFileEditStruct {
    const char *lpszFile;  /* full path (fnResolveConfigPath) */
    UINT uMode;            /* CFGMODE_... */
    BOOL bProfile;         /* type I: through the profile functions */
    IniEditStruct edit;    /* the edit; its lpszFile is not used (the file actually edited is named) */
};

/*
 * Edits one configuration file: creates its folder, backs it up before its
 * first edit of the run by the run's backup method (with method 506 the
 * edits go to BASE.MOD instead and the file stays as it is), creates a
 * missing file, makes it writable, then edits it through the profile
 * functions or writes the edited text to a temporary file in the same folder
 * and puts that in place of the file in one step. The file's attributes are
 * restored whole afterwards and no temporary file is left on any path; a
 * failed step leaves the file as it was. Removing or replacing in a file that
 * does not exist does nothing.
 */
UINT fnEditConfigFile(HWND hWnd, const CfgFileEditStruct *lpJob);

/* Type I of "[IniEdits]" on an existing, writable file; FALSE when a profile write fails. */
BOOL fnEditProfile(const char *lpszFile, const IniEditStruct *lpEdit);

/* Forgets which files this run backed up (start of a run, and tests). */
void fnResetConfigBackups(void);

/*
 * Test seams: whether a file can be opened for writing just before it is
 * replaced, and the replacement itself (file, temporary file). Both point at
 * the real calls; a test that changes one puts it back.
 */
typedef BOOL (*CfgCanWriteProc)(const char *lpszFile);
typedef BOOL (*CfgReplaceProc)(const char *lpszFile, const char *lpszTempFile);
extern CfgCanWriteProc g_pfnCfgCanWrite;
extern CfgReplaceProc g_pfnCfgReplace;

#endif
