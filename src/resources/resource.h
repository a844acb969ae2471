/*
 * resources/resource.h -- numbers of the dialog templates, controls and icon
 * of the program's resources. Messages are addressed by their own numbers.
 */
#ifndef TG_RESOURCES_RESOURCE_H
#define TG_RESOURCES_RESOURCE_H

#define IDI_MAIN 50

/* debug dialog of trace level 2 */
#define IDD_DEBUG 30
#define IDC_DEBUG_TEXT 101
#define IDC_DEBUG_PAUSE 102
#define IDC_DEBUG_FASTER 103
#define IDC_DEBUG_SLOWER 104

#endif
