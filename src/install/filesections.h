/*
 * install/filesections.h -- the file-copy and disk-copy section runs under
 * a progress dialog the caller made (hidden; NULL for none). The section
 * handlers of driver/handlers.h make and destroy that dialog around them.
 */
#ifndef TG_INSTALL_FILESECTIONS_H
#define TG_INSTALL_FILESECTIONS_H

#include <windows.h>

/* "[Files]" and "[CopyFiles]": 1 done, 0 stopped (a bad line, a folder that cannot be made, an abort or Cancel). */
UINT fnInfCopyFiles(HWND hWnd, HWND hDlg, const char *lpszText, const char *lpszName);

/* "[MakeDisks]" and "[CopyFilesToDisks]": 1 done, 0 stopped (also a Cancel at a disk prompt). */
UINT fnInfCopyFilesToDisk(HWND hWnd, HWND hDlg, const char *lpszText, const char *lpszName);

#endif
