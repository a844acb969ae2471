/*
 * config/cfgsections.cpp -- the key tables and flag letters of the
 * configuration-file sections' readers (see config/cfgsections.h).
 */
#include "config/cfgsections.h"

const SectionKeyStruct g_aIniEditKeys[] = {
    {"ExpandDelims", CFGKEY_EXPANDDELIMS},
    {NULL, 0},
};

const SectionKeyStruct g_aReadDefaultsKeys[] = {
    {"ExpandDelims", CFGKEY_EXPANDDELIMS},
    {"SkipIfTestFails", CFGKEY_SKIPIFTESTFAILS},
    {NULL, 0},
};

const char g_szIniEditActions[] = "NSDRAI";
const char g_szIniEditTypes[] = "IPWMSFCKNOBXLR";
const char g_szIniEditTypes2[] = "\\";
const char g_szEnvActions[] = "NRSDBE";
const char g_szEnvActionModifiers[] = "ABET";
