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

#endif
