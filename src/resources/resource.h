/*
 * resources/resource.h -- numbers of the dialog templates, controls and icon
 * of the program's resources. Messages are addressed by their own numbers.
 */
#ifndef TG_RESOURCES_RESOURCE_H
#define TG_RESOURCES_RESOURCE_H

#define IDI_MAIN 50

/* debug dialog of trace level 2 */
#define IDD_DEBUG 60
#define IDC_DEBUG_TEXT 101
#define IDC_DEBUG_PAUSE 102
#define IDC_DEBUG_FASTER 103
#define IDC_DEBUG_SLOWER 104

/* copy progress dialog of the file, directory, move and disk sections */
#define IDD_PROGRESS 4
#define IDC_PROGRESS_METER 100
#define IDC_PROGRESS_STATUS 103
#define IDC_PROGRESS_DESC 104
#define IDC_PROGRESS_SOURCE 105
#define IDC_PROGRESS_TARGET 106

/* the file install engine's dialogs */
#include "resource_files.h"
/* the question, information and installation-information dialogs */
#include "resource_ui.h"
/* the shortcut, check, move and disk sections' dialogs */
#include "resource_checks.h"

/* the run settings' and commands' dialogs */
#include "resource_commands.h"

#endif
