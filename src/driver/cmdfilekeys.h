/*
 * driver/cmdfilekeys.h -- the keys of the "[WriteCmdFile]" section, as one
 * table that the section's reader and the script checker both read.
 * Portable.
 */
#ifndef TG_DRIVER_CMDFILEKEYS_H
#define TG_DRIVER_CMDFILEKEYS_H

#include "script/keytable.h"

enum {
    WCKEY_DESTDIR = 1,
    WCKEY_SOURCEDIR,
    WCKEY_INIFILE,
    WCKEY_CMDFILE,
    WCKEY_ASKFOR,
    WCKEY_STARTUPMSG,
    WCKEY_WRITEFILE,
    WCKEY_BEQUIET,
    WCKEY_NOPROMPTS,
    WCKEY_TEMPEXEC,
    WCKEY_DONTDELETE
};

/* A key the table lacks ends the reading; a line without a key fails the section. */
extern const SectionKeyStruct g_aWriteCmdFileKeys[];

#endif
