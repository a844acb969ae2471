/*
 * config/cfgask.h -- the questions the configuration sections ask (numbered
 * messages with one text argument, or 1044 with a field number and a line),
 * reached through one pointer so tests can answer them without a window.
 */
#ifndef TG_CONFIG_CFGASK_H
#define TG_CONFIG_CFGASK_H

#include <windows.h>

/* Shows message uId with uFlags (MB_...) and returns the button (IDYES, ...). */
typedef int (*CfgAskProc)(UINT uId, UINT uFlags, const char *lpszArg, UINT uNumber);
/* fnMessage by default; a test may point it elsewhere and must restore it. */
extern CfgAskProc g_pfnCfgAsk;

/* A Yes/No question with a question mark: TRUE for Yes. */
BOOL fnCfgAskYesNo(UINT uId, const char *lpszArg);
/* 1044 "Error reading parameter %u of line %s." with an OK button. */
void fnCfgFieldMissing(UINT uField, const char *lpszLine);

#endif
