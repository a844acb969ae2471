/*
 * resources/resource_files.h -- dialog templates and control ids of the file
 * install engine: the disk prompt (5), the in-use dialog (6), the version
 * conflict (7), the copy found elsewhere (9) and the existing file (10).
 * Option buttons end their dialog with their own id.
 */
#ifndef TG_RESOURCES_RESOURCE_FILES_H
#define TG_RESOURCES_RESOURCE_FILES_H

#define IDD_DISKPROMPT 5
#define IDC_DISK_LABEL 101
#define IDC_DISK_LOCATION 102
#define IDC_DISK_FILE 103
#define IDC_DISK_SKIP 100

#define IDD_INUSE 6
#define IDC_INUSE_FILE 110
#define IDC_INUSE_RETRY 101
#define IDC_INUSE_RESTART 102
#define IDC_INUSE_SKIP 103
#define IDC_INUSE_EXIT 104

#define IDD_VERCONFLICT 7
#define IDC_VC_NAME 110
#define IDC_VC_DIR 111
#define IDC_VC_CONFLICT 112
#define IDC_VC_LISTOLD 113
#define IDC_VC_LISTNEW 114
/* the buttons are IDNO (7) keep, IDYES (6) install, IDABORT (3) exit */

#define IDD_ELSEWHERE 9
#define IDC_EW_NAME 110
#define IDC_EW_DSTDIR 111
#define IDC_EW_CURDIR 112
#define IDC_EW_KEEP 103
#define IDC_EW_DELETE 104
#define IDC_EW_REPLACE 105
#define IDC_EW_SKIP 106
#define IDC_EW_EXIT 107

#define IDD_EXISTS 10
#define IDC_EX_NAME 110
#define IDC_EX_DIR 111
#define IDC_EX_BACKUP 102
#define IDC_EX_UNIQUE 103
#define IDC_EX_OVERWRITE 104
#define IDC_EX_SKIP 105
#define IDC_EX_EXIT 106

#endif
