/*
 * driver/sectionlists.cpp -- the dispatch table's name lists and the
 * framing section names (see driver/sectionlists.h).
 */
#include "driver/sectionlists.h"

#include "script/textmodel.h"

const SectionListStruct g_aSectionLists[] = {
    {"[Info]", SECTKIND_INFO},
    {"[FloatInfo]", SECTKIND_FLOATINFO},
    {"[CheckFor],[TestBeforeInput],[TestBefore],[CheckBefore],[CheckAfter]", SECTKIND_CHECKFOR},
    {"[FileCheck]", SECTKIND_FILECHECK},
    {"[VersionTest]", SECTKIND_VERSIONTEST},
    {"[InitOptions]", SECTKIND_INITOPTIONS},
    {"[Registry],[RegEdit],[ReadRegistryBefore],[TestRegistryBefore],[EditRegistry],[ReadRegistry]",
     SECTKIND_REGISTRY},
    {"[Set],[Command]", SECTKIND_COMMAND},
    {"[SetEnvironment]", SECTKIND_ENVIRONMENT},
    {"[ReadDefaults],[ReadIniFiles],[ReadDefaultSettings]", SECTKIND_DEFAULTS},
    {"[IniEdits]", SECTKIND_INIEDITS},
    {"[CloseProcess],[StopProcess],[CloseBefore],[CloseAfter],[Close],[CloseFiles]", SECTKIND_CLOSE},
    {"[ExecBefore],[ExecAfter],[Exec]", SECTKIND_EXEC},
    {"[ExecOnTop]", SECTKIND_EXECONTOP},
    {"[ExecAs],[RunAs]", SECTKIND_EXECAS},
    {"[ExecAsNet],[RunAsNet]", SECTKIND_EXECASNET},
    {"[TestAndExec]", SECTKIND_TESTANDEXEC},
    {"[ShellExec]", SECTKIND_SHELLEXEC},
    {"[OptionButtons],[GetDirs],[AskFor],[FromList],[FromLongList],[FromCombo]", SECTKIND_INPUT},
    {"[LaunchAndBack]", SECTKIND_LAUNCHANDBACK},
    {"[WriteCmdFile]", SECTKIND_WRITECMDFILE},
    {"[GetUserPW]", SECTKIND_GETUSERPW},
    {"[IsStringInFile]", SECTKIND_ISSTRING},
    {"[AppInit],[GetAllInstallInfo],[GetAllInstallInfo2],[Shortcuts],[PMGroups]", SECTKIND_APPINIT},
    {"[Get2Dirs]", SECTKIND_GET2DIRS},
    {"[CheckIfRunning]", SECTKIND_CHECKIFRUNNING},
    {"[MakeDirs],[DestSubDirs]", SECTKIND_MAKEDIRS},
    {"[MoveFilesBefore],[MoveFiles],[MoveFilesAfter]", SECTKIND_MOVEFILES},
    {"[DeleteFiles]", SECTKIND_DELETEFILES},
    {"[Files],[CopyFiles],[MakeDisks],[CopyFilesToDisk],[CopyFilesToDisks]", SECTKIND_FILES},
    {NULL, 0}};

const char *const g_alpszFramingSections[] = {"[Config]", "[Install Options]", "[Signon]", NULL};

int fnSectionKind(const char *lpszSection, char *lpszMatched, size_t cchMatched)
{
    for (const SectionListStruct *lpList = g_aSectionLists; lpList->lpszList; lpList++) {
        if (fnIsInfSection(lpszSection, lpList->lpszList, lpszMatched, cchMatched))
            return lpList->nKind;
    }
    return -1;
}
