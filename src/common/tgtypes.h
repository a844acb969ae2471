/*
 * common/tgtypes.h -- the Windows scalar types the portable core speaks in
 * (BOOL, DWORD, UINT, ...), without <windows.h>. On Windows the typedefs are
 * the same as the system headers' so both may meet in one translation unit;
 * on the host DWORD is 32 bits wide as it is on Windows.
 */
#ifndef TG_COMMON_TGTYPES_H
#define TG_COMMON_TGTYPES_H

#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
typedef unsigned long DWORD;
typedef long LONG;
#else
typedef uint32_t DWORD;
typedef int32_t LONG;
#endif
typedef int BOOL;
typedef unsigned int UINT;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef char CHAR;
typedef char *LPSTR;
typedef const char *LPCSTR;
typedef void *LPVOID;
typedef uint64_t ULONGLONG;
typedef int64_t LONGLONG;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#ifndef MAX_PATH
#define MAX_PATH 260
#endif

/* Sizes the script language keeps as behaviour (characters, terminator included
   where the name says CCH_..._BUF). */
#define CCH_LINE 1024          /* a script line is read 1,024 characters at a time */
#define CCH_LINE_BUF (CCH_LINE + 1)
#define CCH_FIELD_BUF CCH_LINE_BUF
#define CCH_EXPANDED 260       /* an expanded field holds 259 characters */
#define CCH_PATH MAX_PATH
#define CCH_TITLE 128
#define CCH_MSG 256

#endif
