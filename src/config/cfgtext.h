/*
 * config/cfgtext.h -- configuration files as text in memory for the line
 * editors and readers: a whole file read into a heap buffer and cut into
 * lines that keep their own line ends, the written result put into a file,
 * and the small line tests the editors share. Portable (over common/tgfile.h).
 */
#ifndef TG_CONFIG_CFGTEXT_H
#define TG_CONFIG_CFGTEXT_H

#include "common/tgtypes.h"
#include "config/textbuf.h"

/* A file larger than this is not edited (positions of the file layer are 32 bits). */
#define CB_CFGFILE_MAX (256u * 1024u * 1024u)

/* One line: its text without the line end, and the line end (CR LF, LF or nothing) behind it. */
struct CfgLineStruct {
    size_t nStart;
    size_t cchText;
    size_t cchEol;
};

/* A text cut into lines. A DOS end-of-file mark (Ctrl-Z) as the last byte is kept apart in nTail. */
struct CfgTextStruct {
    const char *lpText;
    size_t cbText;
    CfgLineStruct *lpLines;
    size_t nLines;
    size_t nBodyEnd;      /* the lines cover [0, nBodyEnd); what follows is the tail */
    const char *lpszEol;  /* line end for new lines: the file's first one, else CR LF */
};

/* Cuts lpText into lines; FALSE when memory runs out. fnFreeCfgText releases the line table. */
BOOL fnSplitCfgText(const char *lpText, size_t cbText, CfgTextStruct *lpCfg);
void fnFreeCfgText(CfgTextStruct *lpCfg);

/* Copies line n's text (no line end) into lpBuf, NUL-terminated. */
BOOL fnCfgLineText(const CfgTextStruct *lpCfg, size_t n, TextBufStruct *lpBuf);
/* TRUE when the text (line end excluded) holds only blanks and tabs. */
BOOL fnCfgLineIsBlank(const CfgTextStruct *lpCfg, size_t n);

/*
 * Reads the whole file into lpBuf. FALSE when it cannot be opened or read, or
 * passes CB_CFGFILE_MAX; *lpdwError (may be NULL) then holds the system error.
 */
BOOL fnReadWholeFile(const char *lpszFile, TextBufStruct *lpBuf, DWORD *lpdwError);
/* Creates (or empties) the file and writes cch bytes; FALSE on any failure. */
BOOL fnWriteWholeFile(const char *lpszFile, const char *lpText, size_t cch);

/*
 * Where a batch line goes "near the top": behind the first line when it
 * begins with "ECHO OFF" or "@ECHO OFF", else behind the second when that one
 * does, else before the second line. Returns the index of the line it goes
 * before (nLines: at the end).
 */
size_t fnEchoOffPlace(const CfgTextStruct *lpCfg);
/*
 * The first line that starts Windows: "WIN" alone, or a first word whose file
 * name part begins with "WIN" followed by its end or "." (C:\WINDOWS\WIN.COM,
 * win.exe /x, WIN /D:M). nLines when there is none.
 */
size_t fnWindowsLine(const CfgTextStruct *lpCfg);

/* Skips blanks and tabs. */
const char *fnSkipBlanks(const char *lpsz);
/* Copies lpsz with leading and trailing blanks and tabs removed into lpBuf. */
BOOL fnCopyTrimmed(const char *lpsz, size_t cch, TextBufStruct *lpBuf);

#endif
