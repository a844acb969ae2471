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

#endif
