/*
 * commands/cmdkeys.h -- the keys of the command sections "[Set]" and
 * "[Command]": the shared run settings (SK_ ids of commands/cmdsettings.h)
 * and the commands of their own. One table, read by the command
 * interpreter and by the script checker.
 */
#ifndef TG_COMMANDS_CMDKEYS_H
#define TG_COMMANDS_CMDKEYS_H

#include "script/keytable.h"

/* The commands of the command sections beside the shared run settings. */
enum {
    CMD_COPYFILE = 100,
    CMD_RENAMEFILE,
    CMD_GETFILEVERSION,
    CMD_GETFOLDERSIZE,
    CMD_GETUSEDSPACE,
    CMD_GETFREESPACE,
    CMD_GETAVAILSPACE,
    CMD_GETTOTALSPACE,
    CMD_STARTSERVICE,
    CMD_STOPSERVICE,
    CMD_CHANGESERVICESTART,
    CMD_WZCSVCCONFIG,
    CMD_WMIQUERY,
    CMD_WAITFORWINDOW,
    CMD_WHILEWINDOW,
    CMD_CLOSEWINDOW,
    CMD_CLOSEPOPUP,
    CMD_MAKEMETOPMOST,
    CMD_MAKEMENOTTOPMOST,
    CMD_SETTOPMOST,
    CMD_SETNOTTOPMOST,
    CMD_MESSAGESTATIC,
    CMD_POPUP,
    CMD_MAPDRIVE,
    CMD_GETLOCALSID,
    CMD_GETDOMAINSID,
    CMD_SETSIDPROFILELOCATION,
    CMD_CREATELOCALUSER,
    CMD_DELLOCALUSER,
    CMD_CHANGELOCALUSER,
    CMD_RENAMELOCALUSER,
    CMD_AMILOCALADMIN,
    CMD_ISUSERLOCALADMIN,
    CMD_ISUSERMEMBEROF,
    CMD_ADDUSERTOLOCALGROUP,
    CMD_DELETEUSERFROMLOCALGROUP,
    CMD_JOINDOMAIN,
    CMD_UNJOINDOMAIN,
    CMD_RENAMECOMPUTERINDOMAIN
};

extern const SectionKeyStruct g_aCommandKeys[];

#endif
