/*
 * ui/inputdlg.h -- the dialogs of the installation information and input
 * sections: the directory dialog and the folder browser, the help of a
 * question, the backup-method question, and the question dialogs. None of
 * them is opened in a quiet run: the callers take the default answer then.
 */
#ifndef TG_UI_INPUTDLG_H
#define TG_UI_INPUTDLG_H

#include <windows.h>

#include "script/optstore.h"
#include "ui/inputcore.h"

/* The question kinds of the input sections. */
enum {
    QKIND_ASKFOR = 1,
    QKIND_GETDIRS,
    QKIND_FROMLIST,
    QKIND_FROMLONGLIST,
    QKIND_FROMCOMBO,
    QKIND_OPTIONS,
    QKIND_USERPW,
    QKIND_2DIRS
};

/* Longest password the scrambled slot can hold. */
#define CCH_PASSWORD_MAX (CCH_PASSWORD - 2)

/* The directory dialog (template 3, or 14 with one text when lpszMsg2 is empty). */
struct DirDialogStruct {
    const char *lpszCaption;
    const char *lpszMsg1;
    const char *lpszMsg2;
    const ReadSectStruct *lpHelp;  /* the question's help, or NULL */
    char szPath[CCH_PATH];         /* in: the path shown; out: the path confirmed ("C:" made "C:\") */
};
/* TRUE for OK; FALSE for Cancel or the close box. */
BOOL fnDirectoryDialog(HWND hWnd, DirDialogStruct *lpDir);

/* Puts the folder the user picks in the shell's folder browser into the edit nEditId; FALSE when none. */
BOOL fnBrowseForFolder(HWND hDlg, int nEditId);

/*
 * The Help button of a question dialog: the help box (template 15, modeless,
 * owned by hDlg) with the question's text, or the Windows help engine on the
 * question's help file. *lphBox keeps the box; fnEndHelp closes both.
 */
void fnShowQuestionHelp(HWND hDlg, const ReadSectStruct *lpRead, HWND *lphBox);
void fnEndHelp(HWND hDlg, const ReadSectStruct *lpRead, HWND *lphBox);

/* The help engine call; tests replace it so no help program is started. */
typedef BOOL(WINAPI *WinHelpProc)(HWND hWnd, LPCSTR lpszFile, UINT uCommand, ULONG_PTR dwData);
extern WinHelpProc g_pfnWinHelp;

/*
 * The backup-method question (template 29) for method 500: returns the
 * method chosen, 501-506. A quiet run asks nothing and keeps ".ORI" copies (501).
 */
UINT fnAskBackupMethod(HWND hWnd);

/* One question and its answer. */
struct QuestionStruct {
    int nKind;                       /* QKIND_... */
    ReadSectStruct *lpRead;
    char szAnswer[CCH_PATH];         /* text answer: value, list line, combo text, first path */
    char szAnswer2[CCH_PATH];        /* second path of the two-directory question */
    char szLetters[5];               /* option answers "YNNN" */
    char szUser[CCH_USERNAME];
    char szPassword[CCH_PASSWORD];   /* plain while the dialog's caller stores it; cleared by it */
    int nComboSlot;                  /* combo answer slot written as a line is chosen; -1 none */
    HWND hHelpBox;
    HFONT hFont;
};

/* Shows the dialog of the question: IDOK, or IDCANCEL when the user left it. */
INT_PTR fnQuestionDialog(HWND hWnd, QuestionStruct *lpQ);

/* Asks 1055 "Installation is not complete. Are you sure you want to exit?": TRUE for Yes. */
BOOL fnConfirmExit(HWND hWnd);

#endif
