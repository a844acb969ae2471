/*
 * config/registry.h -- the one layer through which the program reads and
 * writes the Windows registry: path texts to root and sub-key, values read as
 * text, text written as typed data, deletion of values, keys and branches,
 * numbered sub-key lookup and the Explorer's shell folders. Every key opened
 * here is closed before the call returns. Text rules live in config/regtext.h.
 */
#ifndef TG_CONFIG_REGISTRY_H
#define TG_CONFIG_REGISTRY_H

#include <windows.h>

#include "config/regtext.h"

/* Closes the key it holds when it goes out of scope. */
struct RegKeyGuardStruct {
    HKEY hKey = NULL;
    ~RegKeyGuardStruct()
    {
        if (hKey)
            RegCloseKey(hKey);
    }
    RegKeyGuardStruct() = default;
    RegKeyGuardStruct(const RegKeyGuardStruct &) = delete;
    RegKeyGuardStruct &operator=(const RegKeyGuardStruct &) = delete;
};

/* Predefined key of a REGROOT_... code; NULL for REGROOT_NONE. */
HKEY fnRootKey(UINT uRoot);

/* Rewrites lpszRegKey in place to its sub-key path and returns the root; NULL when there is none. */
HKEY fnSplitRegKey(char *lpszRegKey);

/*
 * Reads the value that a lookup path ("key\\value"; a trailing backslash names
 * the default value) names under hRoot and converts it by uMode (REGCONV_...).
 * Not found: the key cannot be opened (lpszValue left as it was), or the value
 * is missing or longer than min(cchValue, 1024) bytes (lpszValue empty).
 * *lpdwType, when given, receives the registry type of a value found.
 */
BOOL fnGetRegistry(HKEY hRoot, DWORD *lpdwType, const char *lpszLookup, char *lpszValue, size_t cchValue, UINT uMode);
/* Raw form with the type, to copy a value unchanged. */
BOOL fnGetRegistry(HKEY hRoot, DWORD *lpdwType, const char *lpszLookup, char *lpszValue, size_t cchValue);
/* Common form: the value as text, numbers in hexadecimal. */
BOOL fnGetRegistry(HKEY hRoot, const char *lpszLookup, char *lpszValue, size_t cchValue);
/* As fnGetRegistry with the key and the value name apart (a name may hold backslashes). */
BOOL fnGetRegistryByValue(HKEY hRoot, DWORD *lpdwType, const char *lpszKey, const char *lpszValueName,
                          char *lpszValue, size_t cchValue, UINT uMode);

/* Converts lpszData to data of type dwType and writes it to the open key. */
BOOL fnRegSetValue(HKEY hKey, const char *lpszValueName, DWORD dwType, const char *lpszData, BOOL bExpand);
/* Creates (with missing parents) or opens the key, then writes as fnRegSetValue. */
BOOL fnRegOpenAndSet(HKEY hRoot, const char *lpszKey, const char *lpszValueName, const char *lpszData, DWORD dwType,
                     BOOL bExpand);

/* Deletes one value; FALSE without touching the registry when the key or name is empty. */
BOOL fnRegDelValue(HKEY hRoot, const char *lpszKey, const char *lpszValueName);
/* Deletes every value of the key; the key and its sub-keys stay. */
BOOL fnRegDelAllValues(HKEY hRoot, const char *lpszKey);
/* Deletes the key and all its sub-keys, depth first. */
BOOL fnRegDelBranch(HKEY hRoot, const char *lpszKey);
/* fnRegDelAllValues (its result ignored), then fnRegDelBranch. */
BOOL fnRegDelKey(HKEY hRoot, const char *lpszKey);

/*
 * For keys whose sub-keys are numbered "0000" upwards: lpszEnum receives the
 * name of the first sub-key that passes the tests, else the last index; the
 * action letter F tests only the first sub-key, N gives the number after the
 * result. A missing key gives "0000". Always TRUE.
 */
BOOL fnRegGetEnum(HKEY hRoot, const char *lpszKey, const char *lpszTestValue, const char *lpszTestData,
                  const char *lpszTestValue2, const char *lpszTestData2, const char *lpszAction, char *lpszEnum,
                  size_t cchEnum);

/*
 * A shell folder path for all users (HKEY_LOCAL_MACHINE) or the current user
 * (HKEY_CURRENT_USER). Not found: lpszPath holds the Windows folder joined
 * with string uDefaultId, and the result is FALSE.
 */
BOOL fnGetCommonShellFolder(const char *lpszFolder, char *lpszPath, size_t cchPath, UINT uDefaultId);
BOOL fnGetUserShellFolder(const char *lpszFolder, char *lpszPath, size_t cchPath, UINT uDefaultId);

/*
 * TRUE when the key holds a value of that name (the default value for an
 * empty name), whatever its size or type.
 */
BOOL fnRegValueExists(HKEY hRoot, const char *lpszKey, const char *lpszValueName);

/*
 * Renames a value within its key, keeping its type and all its data: the
 * copy is written under the new name first and the old value is deleted only
 * once the copy stands. Names that differ only in case are one value: TRUE
 * with nothing changed. FALSE when the value is missing, the new name empty,
 * or the copy or the deletion fails (after a failed deletion both stay).
 */
BOOL fnRegRenameValue(HKEY hRoot, const char *lpszKey, const char *lpszValueName, const char *lpszNewName);

#endif
