/*
 * script/textmodel_msg.h -- the parts of the text model that speak to the
 * user: required fields and the input-section reader.
 */
#ifndef TG_SCRIPT_TEXTMODEL_MSG_H
#define TG_SCRIPT_TEXTMODEL_MSG_H

#include <windows.h>

/* fnInfParseField; when the field is missing and the run is not quiet, message 1044 says which. */
int fnInfParseFieldMsg(char *lpszLine, int nField, char *lpszField, size_t cchField);

/*
 * An input section ("[AskFor]", "[GetDirs]", ...): up to nine questions, one
 * per line, each handed to the section kind's dialog while the dialog answers
 * 1. Returns 4 when the section has no question, else the last dialog result.
 */
UINT fnInfGetSection(HWND hWnd, const char *lpszSection, const char *lpszNextInf, const char *lpszName);

#endif
