/*
 * install/ifstruct.h -- the install-file record IFStruct that a file-copy,
 * move or disk-copy line fills and the install engine works from, the codes
 * of its mode fields, and the VerInstallFile / VerFindFile result bits the
 * copy primitives report in. One record lives per section run, reused line
 * by line.
 */
#ifndef TG_INSTALL_IFSTRUCT_H
#define TG_INSTALL_IFSTRUCT_H

#include "common/tgtypes.h"

#ifdef _WIN32
#include <windows.h>
#else
/* the same handle type the system headers declare, for the host build */
typedef struct HWND__ *HWND;
/* VerInstallFile result bits */
#define VIF_TEMPFILE 0x00000001
#define VIF_MISMATCH 0x00000002
#define VIF_SRCOLD 0x00000004
#define VIF_DIFFLANG 0x00000008
#define VIF_DIFFCODEPG 0x00000010
#define VIF_DIFFTYPE 0x00000020
#define VIF_WRITEPROT 0x00000040
#define VIF_FILEINUSE 0x00000080
#define VIF_OUTOFSPACE 0x00000100
#define VIF_ACCESSVIOLATION 0x00000200
#define VIF_SHARINGVIOLATION 0x00000400
#define VIF_CANNOTCREATE 0x00000800
#define VIF_CANNOTDELETE 0x00001000
#define VIF_CANNOTRENAME 0x00002000
#define VIF_OUTOFMEMORY 0x00008000
#define VIF_CANNOTREADSRC 0x00010000
#define VIF_CANNOTREADDST 0x00020000
/* VerFindFile result bits */
#define VFF_CURNEDEST 0x0001
#define VFF_FILEINUSE 0x0002
#define VFF_BUFFTOOSMALL 0x0004
#endif

/* The mismatch bits: any of them means the versions did not allow a plain copy. */
#define VIF_MISMATCHBITS 0x3e

/* uInstallMode: first letter of flag field 1 */
enum {
    INSTALL_NORMAL = 100,     /* N: expanded straight over the destination */
    INSTALL_CHECK = 101,      /* S: compare through a temporary copy */
    INSTALL_VERSION = 102,    /* V: as S, identical source and destination stay */
    INSTALL_DATE = 103,       /* T: as V, dates decide where versions cannot */
    INSTALL_MIXED = 104,      /* M: as S, dates decide where versions cannot */
    INSTALL_ASIS = 105,       /* A or U: copied as is */
    INSTALL_DIRECTJOIN = 108, /* R: parts appended straight to the destination */
    INSTALL_KEEPATTRIB = 109  /* K: as N, keep the source's attributes */
};

/* uInUseAction: second letter of flag field 1 (file-copy lines) */
enum {
    INUSE_PROMPT = 100,   /* P or other: in-use dialog */
    INUSE_CLOSE = 101,    /* C: ask the holder to close, once */
    INUSE_RESTART = 102,  /* R: install and replace at restart */
    INUSE_SKIP = 103      /* S */
};

/* uVerAction: third letter of flag field 1 */
enum {
    VERACT_PROMPT = 100,  /* version-conflict dialog */
    VERACT_CANCEL = 101,  /* C: stop the installation */
    VERACT_IGNORE = 102,  /* I: force; the copy mode becomes F */
    VERACT_KEEP = 103     /* K: keep the existing file */
};

/* uCopyMode (and uJoinCopyMode): first letter of flag field 2 */
enum {
    COPY_NORMAL = 100,
    COPY_D = 101,
    COPY_R = 102,
    COPY_SKIP = 103,      /* S: keep the existing file on a mismatch or in use */
    COPY_V = 104,
    COPY_FORCE = 105,     /* F */
    COPY_CLEAN = 106,     /* C */
    COPY_PROMPT = 107,    /* P: ask when a copy exists elsewhere */
    COPY_Q = 108,         /* ? */
    COPY_WINDIR = 109,    /* W: into the Windows directory */
    COPY_JOIN = 110       /* J */
};

/* uBackupAction: first letter of flag field 3 */
enum {
    BACKACT_OVERWRITE = 100,
    BACKACT_BACKUP = 101,  /* B */
    BACKACT_UNIQUE = 102,  /* U */
    BACKACT_SKIP = 103,    /* S */
    BACKACT_PROMPT = 104,  /* P: dialog 10 */
    BACKACT_KEEP = 105     /* K: acts as overwrite */
};

/* uJoinPart */
enum {
    JOIN_NONE = 100,
    JOIN_MIDDLE = 101,
    JOIN_FIRST = 102,
    JOIN_LAST = 103
};

/* uFlags handed to fnVerInstallFile */
enum {
    VIFFLAG_FORCE = 1,      /* no version comparison */
    VIFFLAG_KEEPOTHER = 2,  /* keep the copy found elsewhere */
    VIFFLAG_DESTABSENT = 4  /* the search just found no copy in the destination folder */
};

#define CCH_IFDISK 8
#define CCH_IFSPEC 520
#define CCH_IFDESC 128

struct IFStruct {
    HWND hWndProgress;     /* progress dialog, NULL when quiet */
    UINT uFileNum;         /* running number of the file; the meter's position */
    UINT uInstallMode;
    UINT uInUseAction;     /* move sections keep their own values here */
    UINT uVerAction;
    UINT uCopyMode;
    UINT uJoinCopyMode;    /* copy mode the finished joined file is installed with */
    UINT uMoveMode;        /* move sections */
    UINT uAttribMode;      /* move sections: 140 keep, 141 normal */
    UINT uBackupAction;    /* move sections: the missing-directory rule, 145 or 146 */
    BOOL bKeepAttrib;
    BOOL bDiskGiven;
    UINT uJoinPart;
    DWORD dwDelay;         /* move sections: ms after each file */
    BOOL bRecurse;
    BOOL bQuiet;
    BYTE abReserved[8];
    char szDisk[CCH_IFDISK];
    char szCurDir[CCH_PATH];        /* where a current copy was found */
    char szDstDir[CCH_PATH];
    char szDstFileName[CCH_PATH];
    char szSrcFilePath[CCH_PATH];
    char szSrcFileName[CCH_PATH];
    char szSrcFileSpec[CCH_IFSPEC]; /* move sections */
    char szDstFileSpec[CCH_IFSPEC]; /* move sections */
    char szBackupFile[CCH_PATH];
    char szWildSpec[CCH_PATH];
    char szSuggestDstDir[CCH_PATH]; /* directory the file is actually installed into */
    char szDescription[CCH_IFDESC];
    char szDiskPrompt[CCH_IFDESC];
};

#endif
