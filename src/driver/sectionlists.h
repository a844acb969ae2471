/*
 * driver/sectionlists.h -- the section names of the dispatch table: one name
 * list per kind of section, in the order the dispatcher tries them, and the
 * framing sections the loader reads by name before the walk. The dispatcher
 * and the script checker both walk this table, so the two agree on which
 * sections run.
 */
#ifndef TG_DRIVER_SECTIONLISTS_H
#define TG_DRIVER_SECTIONLISTS_H

#include "common/tgtypes.h"

/* Kinds of section, one per row of the dispatch table. */
enum SectionKindEnum {
    SECTKIND_INFO,
    SECTKIND_FLOATINFO,
    SECTKIND_CHECKFOR,
    SECTKIND_FILECHECK,
    SECTKIND_VERSIONTEST,
    SECTKIND_INITOPTIONS,
    SECTKIND_REGISTRY,
    SECTKIND_COMMAND,
    SECTKIND_ENVIRONMENT,
    SECTKIND_DEFAULTS,
    SECTKIND_INIEDITS,
    SECTKIND_CLOSE,
    SECTKIND_EXEC,
    SECTKIND_EXECONTOP,
    SECTKIND_EXECAS,
    SECTKIND_EXECASNET,
    SECTKIND_TESTANDEXEC,
    SECTKIND_SHELLEXEC,
    SECTKIND_INPUT,
    SECTKIND_LAUNCHANDBACK,
    SECTKIND_WRITECMDFILE,
    SECTKIND_GETUSERPW,
    SECTKIND_ISSTRING,
    SECTKIND_APPINIT,
    SECTKIND_GET2DIRS,
    SECTKIND_CHECKIFRUNNING,
    SECTKIND_MAKEDIRS,
    SECTKIND_MOVEFILES,
    SECTKIND_DELETEFILES,
    SECTKIND_FILES,
    SECTKIND_COUNT
};

struct SectionListStruct {
    const char *lpszList;  /* names with their brackets, separated by commas */
    int nKind;             /* SECTKIND_... */
};

/* The dispatch table's name lists in the order tried; ends with a NULL list. */
extern const SectionListStruct g_aSectionLists[];

/* The framing sections the loader finds by name from the start of the script. */
extern const char *const g_alpszFramingSections[];  /* ends with NULL */

/* The header that ends the walk (compared over its five characters). */
#define SECTION_END "[End]"

/*
 * The kind of the section whose header starts lpszSection, with the list's
 * own spelling of its name in lpszMatched (cchMatched characters); -1 when no
 * list holds it.
 */
int fnSectionKind(const char *lpszSection, char *lpszMatched, size_t cchMatched);

#endif
