/*
 * resources/resource_checks.h -- dialog and control numbers of the shortcut,
 * check, move and disk sections.
 */
#ifndef TG_RESOURCES_RESOURCE_CHECKS_H
#define TG_RESOURCES_RESOURCE_CHECKS_H

/* shortcut folder dialog of the folder lists */
#define IDD_SHORTCUT_FOLDER 22
#define IDC_SCF_EDIT 131
#define IDC_SCF_LABEL 132
#define IDC_SCF_LIST 133
#define IDC_SCF_EXIT 135

/* the per-file question of a move line with flags "P": the buttons end it with the mode they choose */
#define IDD_MOVEPROMPT 28
#define IDC_MP_FILE 101
#define IDC_MP_TEXT 102
#define IDC_MP_NOTE 103
#define IDC_MP_MOVE 121
#define IDC_MP_COPY 122
#define IDC_MP_DELETE 124
#define IDC_MP_RENAME 125
#define IDC_MP_EXIT 133

#endif
