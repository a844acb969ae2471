/*
 * config/cfgsections.h -- the keys of the configuration-file sections'
 * readers, one table each, for the readers and the script checker.
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

#endif
