/*
 * driver/cmdfilekeys.cpp -- the "[WriteCmdFile]" key table (see
 * driver/cmdfilekeys.h).
 */
#include "driver/cmdfilekeys.h"

const SectionKeyStruct g_aWriteCmdFileKeys[] = {
    {"DestDir", WCKEY_DESTDIR},       {"SourceDir", WCKEY_SOURCEDIR}, {"IniFile", WCKEY_INIFILE},
    {"CmdFile", WCKEY_CMDFILE},       {"AskFor", WCKEY_ASKFOR},       {"StartupMsg", WCKEY_STARTUPMSG},
    {"WriteFile", WCKEY_WRITEFILE},   {"BeQuiet", WCKEY_BEQUIET},     {"NoPrompts", WCKEY_NOPROMPTS},
    {"TempExec", WCKEY_TEMPEXEC},     {"DontDelete", WCKEY_DONTDELETE}, {NULL, 0},
};
