/*
 * config/cfgsections.h -- the keys of the configuration-file sections'
 * readers, one table each, and the flag letters of their lines, for the
 * readers and the script checker.
 */
#ifndef TG_CONFIG_CFGSECTIONS_H
#define TG_CONFIG_CFGSECTIONS_H

#include "script/keytable.h"

enum {
    CFGKEY_EXPANDDELIMS = 1,
    CFGKEY_SKIPIFTESTFAILS = 2
};

/* "[IniEdits]": setting lines besides the edit lines */
extern const SectionKeyStruct g_aIniEditKeys[];
/* "[ReadDefaults]", "[ReadIniFiles]", "[ReadDefaultSettings]" */
extern const SectionKeyStruct g_aReadDefaultsKeys[];

/*
 * Flag letters of the edit lines, first letter of the field unless said:
 * "[IniEdits]" actions (field 6) and file types (field 7, and its second
 * letter); "[SetEnvironment]" actions (field 4) and their second letter.
 */
extern const char g_szIniEditActions[];
extern const char g_szIniEditTypes[];
extern const char g_szIniEditTypes2[];
extern const char g_szEnvActions[];
extern const char g_szEnvActionModifiers[];

#endif
