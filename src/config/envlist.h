/*
 * config/envlist.h -- the edit of one environment value as text: a plain
 * variable set, kept or removed, or a list variable such as PATH gaining,
 * moving or losing one element. Pure text work; the registry, the program's
 * own environment and AUTOEXEC.BAT are written by config/environment_win.cpp.
 */
#ifndef TG_CONFIG_ENVLIST_H
#define TG_CONFIG_ENVLIST_H

#include "common/tgtypes.h"
#include "config/textbuf.h"

/* The longest environment value Windows keeps, in characters. */
#define CCH_ENV_MAX 32767

/* What an edit asks the caller to do. */
enum {
    ENVEDIT_KEEP = 0,     /* nothing changes: the value stays exactly as it is */
    ENVEDIT_WRITE = 1,    /* write the text of the output buffer */
    ENVEDIT_DELETE = 2,   /* remove the variable */
    ENVEDIT_TOOLONG = 3,  /* the result would pass CCH_ENV_MAX: nothing may be written */
    ENVEDIT_NOMEMORY = 4
};

/*
 * Edits the current text lpszCur (NULL: the variable does not exist) by the
 * action letter (N, R, S, D, B, E) with lpszValue, as a list of ";"-separated
 * elements when bList is set. List elements are matched whole (a match begins
 * at the start of the text or behind a ";" and ends at a ";" or the end),
 * case ignored, and an element matches when it equals the value as written or
 * when both expand (through g_lpMachine) to the same text, so "%SystemRoot%"
 * and its expansion name one element. A value of several elements matches
 * that run of elements. A found element keeps its own spelling when it stays
 * or moves. D and R on a missing variable change nothing.
 * lpOut receives the new text for ENVEDIT_WRITE.
 */
int fnEditEnvValue(const char *lpszCur, const char *lpszValue, char cAction, BOOL bList, TextBufStruct *lpOut);

/*
 * Finds the run of whole elements of lpszList that lpszElems (one element or
 * several, ";"-separated) names, by the matching rule above; with bExpand
 * clear the texts are compared as written only (batch files, where the
 * program's own environment says nothing about the references). TRUE with
 * the run's first character at *lpnStart and the position behind it (behind
 * its closing ";" when there is one) at *lpnEnd.
 */
BOOL fnFindListElements(const char *lpszList, const char *lpszElems, BOOL bExpand, size_t *lpnStart, size_t *lpnEnd);

#endif
