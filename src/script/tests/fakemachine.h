/*
 * script/tests/fakemachine.h -- a machine lookup table of made-up facts for
 * the host tests of option expansion and inline functions: registry values,
 * environment, shell folders, adapters, names and file versions come from
 * maps the tests fill.
 */
#ifndef TG_SCRIPT_TESTS_FAKEMACHINE_H
#define TG_SCRIPT_TESTS_FAKEMACHINE_H

#include <map>
#include <string>

#include "common/machine.h"

struct FakeMachineStruct {
    std::map<std::string, std::string> registry;   /* "root:lookup" -> value */
    std::map<std::string, std::string> env;
    std::map<std::string, std::string> shellFolders;
    std::map<std::string, std::string> wmi;        /* "class.property" -> value */
    std::map<unsigned, std::string> smbios;
    std::map<std::string, std::string> shortPaths;
    std::map<std::string, std::string> fileVersions; /* path -> "file|product" */
    std::string adapters, mask, gateway;
    int nAdapters = 0;
    std::string user = "jdoe", computer = "WS042", sid;
    unsigned long long cbMemory = 0;
};

extern FakeMachineStruct g_fake;

/* Resets the fake facts and the stores, and installs the fake table. */
void fnInstallFakeMachine(void);

#endif
