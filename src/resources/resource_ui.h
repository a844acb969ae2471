/*
 * resources/resource_ui.h -- numbers of the question, information and
 * installation-information dialogs and of their controls. Control numbers
 * are per dialog; several dialogs share the same numbers for the same role.
 */
#ifndef TG_RESOURCES_RESOURCE_UI_H
#define TG_RESOURCES_RESOURCE_UI_H

/* buttons every question dialog may carry */
#define IDC_BROWSE 180
#define IDC_HELPBTN 199

/* message window: the text, and the two buttons of its own beside the standard ids */
#define IDD_MSGWINDOW 1
#define IDC_MSG_TEXT 110
#define IDC_MSG_EXIT 115
#define IDC_MSG_CONTINUE 116

/* directory dialog with two texts (3) and with one (14) */
#define IDD_DIRECTORY 3
#define IDD_DIRECTORY1 14
#define IDC_DIR_PATH 101
#define IDC_DIR_MSG1 102
#define IDC_DIR_MSG2 103

/* help box of the question dialogs */
#define IDD_HELPBOX 15
#define IDC_HELP_DONE 197
#define IDC_HELP_TEXT 198

/* install options with one to four options: dialogs 16-19 */
#define IDD_INSTOPT1 16
#define IDC_IO_INTRO 101
#define IDC_IO_MSG1 102
#define IDC_IO_MSG2 103
#define IDC_IO_EXITMSG 104
#define IDC_IO_MSG3 105
#define IDC_IO_MSG4 106
#define IDC_IO_HELPMSG 107
#define IDC_IO_OPT1 112
#define IDC_IO_EXIT 116
#define IDC_IO_HELP 117

/* information page, tall (20) and short (21) */
#define IDD_INFO_TALL 20
#define IDD_INFO_SHORT 21
#define IDC_INFO_TEXT 100
#define IDC_INFO_PROMPT 101

/* a value to type */
#define IDD_ASKFOR 23
#define IDC_ASK_MSG1 110
#define IDC_ASK_MSG2 112
#define IDC_ASK_EDIT 114
#define IDC_ASK_PROMPT 118

/* a line from a list, short (24) and long (25) */
#define IDD_FROMLIST 24
#define IDD_FROMLONGLIST 25
#define IDC_LIST_MSG 210
#define IDC_LIST_PROMPT 211
#define IDC_LIST_SEL 213
#define IDC_LIST_LIST 214

/* a line from an editable combo */
#define IDD_FROMCOMBO 26
#define IDC_COMBO_MSG 220
#define IDC_COMBO_PROMPT 221
#define IDC_COMBO_BOX 224

/* option buttons: radios 402-405 or check boxes 406-409 */
#define IDD_OPTIONS 27
#define IDC_OPT_MSG 401
#define IDC_OPT_RADIO1 402
#define IDC_OPT_CHECK1 406

/* backup method: radios 501-506 carry the method codes */
#define IDD_BACKUP 29

/* combined installation information */
#define IDD_ALLINFO 30
#define IDD_ALLINFO2 31
#define IDC_ALL_MSG2 201
#define IDC_ALL_MSG3 202
#define IDC_ALL_MSG4 203
#define IDC_ALL_DEST 210
#define IDC_ALL_PATH2 212
#define IDC_ALL_PATH4 214
#define IDC_ALL_MORE1 218
#define IDC_ALL_MORE2 219
#define IDC_ALL_BROWSE1 221
#define IDC_ALL_BROWSE2 222
#define IDC_ALL_BROWSE4 223
#define IDC_ALL_CHECK1 231
#define IDC_ALL_CHECK2 232
#define IDC_ALL_DEFAULT 241
#define IDC_ALL_PROMPT 251

/* floating information window */
#define IDD_FLOAT 33
#define IDC_FLOAT_TEXT 110

/* user name and password */
#define IDD_USERPW 34
#define IDC_PW_MSG 101
#define IDC_PW_CHECK 102
#define IDC_PW_USERLABEL 103
#define IDC_PW_USER 104
#define IDC_PW_LABEL1 105
#define IDC_PW_PASS1 106
#define IDC_PW_LABEL2 107
#define IDC_PW_PASS2 108
#define IDC_PW_BOTTOM 251

/* two directories */
#define IDD_2DIRS 38
#define IDC_2D_MSG1 101
#define IDC_2D_MSG2 102
#define IDC_2D_MSG3 103

#endif
