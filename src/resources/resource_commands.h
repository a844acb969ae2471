/*
 * resources/resource_commands.h -- dialog and control numbers of the run
 * settings and command sections: the floating message windows and the
 * password question of a new local account.
 */
#ifndef TG_RESOURCES_RESOURCE_COMMANDS_H
#define TG_RESOURCES_RESOURCE_COMMANDS_H

/* the "Message" key's window: a text and a close button */
#define IDD_MSGWAIT 39
/* MessageStatic windows with a caption: 41 small (also the default), 42 medium, 43 large, 44 extra large */
#define IDD_MSGSTATIC_SMALL 41
#define IDD_MSGSTATIC_MEDIUM 42
#define IDD_MSGSTATIC_LARGE 43
#define IDD_MSGSTATIC_XLARGE 44
/* Popup windows without a caption: 45 default, 46 small, 47 medium, 48 large, 49 extra large */
#define IDD_POPUP_DEFAULT 45
#define IDD_POPUP_SMALL 46
#define IDD_POPUP_MEDIUM 47
#define IDD_POPUP_LARGE 48
#define IDD_POPUP_XLARGE 49
/* the password question of a new local account: a message and the new password twice */
#define IDD_PASSWORD 35
#define IDC_PW_MESSAGE 130
#define IDC_PW_NEW 131
#define IDC_PW_CONFIRM 132
/* the text of every floating message window */
#define IDC_POPUP_TEXT 110

#endif
