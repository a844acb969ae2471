/*
 * shortcuts/folderlist.h -- registering shortcut folders from a
 * "[ShortCuts]" or "[PMGroups]" folder list into the run record. Portable:
 * the questions, the folder dialog and folder creation are reached through
 * one small table that the Windows side fills and host tests fake.
 */
#ifndef TG_SHORTCUTS_FOLDERLIST_H
#define TG_SHORTCUTS_FOLDERLIST_H

#include "common/records.h"

/* Answers of the folder dialog. */
enum {
    FOLDERDLG_OK = 1,
    FOLDERDLG_CANCEL = 2,
    FOLDERDLG_EXIT = 3
};

struct ShortcutUiStruct {
    /* A Yes/No question; TRUE for Yes. */
    BOOL (*pfnAskYesNo)(const char *lpszText);
    /*
     * The folder dialog: label, base folder and the proposed folder name; on
     * FOLDERDLG_OK lpszFolder (CCH_PATH characters) holds the chosen folder,
     * base and name joined.
     */
    int (*pfnFolderDialog)(const char *lpszLabel, const char *lpszBase, const char *lpszName, char *lpszFolder,
                           size_t cchFolder);
    /* Creates the folder and its parents; TRUE when it exists afterwards. */
    BOOL (*pfnCreateFolder)(const char *lpszFolder);
    /* Message 1224 about lpszFolder; TRUE when the user goes on. */
    BOOL (*pfnAskContinue)(const char *lpszFolder);
};

/* Whether field 1 of a folder list line names one of the shell folders. */
enum {
    FOLDERWORD_NONE = 0,
    FOLDERWORD_DESKTOP = 1,
    FOLDERWORD_DESKTOPALL = 2,
    FOLDERWORD_STARTUP = 3,
    FOLDERWORD_STARTUPALL = 4
};
int fnFolderWord(const char *lpszText);

/*
 * Registers the folders of one folder list (lpszSection starts at its header,
 * lpszName is the list's name) into lpUserInput, at most
 * MAX_SHORTCUT_SECTIONS entries in all. Each list is read from its own first
 * line; a list that runs again (the script started over) replaces the
 * entries it registered before. In a quiet run nothing is asked: every line
 * counts as not asking and a folder that cannot be made is passed over.
 * Returns 1, or 0 when the user chose Exit or declined to go on after a
 * folder could not be made.
 */
UINT fnRegisterShortcutFolders(const char *lpszSection, const char *lpszName, UserInputStruct *lpUserInput,
                               const ShortcutUiStruct *lpUi);

#endif
