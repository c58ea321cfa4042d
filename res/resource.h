/*
 * Resource identifiers of Quorvel.
 *
 * Included by the resource script (windres / rc) and by the C++ sources, so
 * it holds nothing but plain #define lines of integers and one string.
 *
 * Several dialogs reuse the same control numbers (1000 is the name edit of
 * both editors and the text of the notice window, 1019 the list view of both
 * lists, ...). Each dialog gets its own names; the numbers are what the
 * templates carry.
 */
#ifndef QUORVEL_RESOURCE_H
#define QUORVEL_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC                      (-1)
#endif

/* The product title: the menu's banner, the tray tip, the exit question. */
#define QUORVEL_TITLE                   "Tavimor"

/* ---- Dialog templates, menus, strings, pictures ------------------------- */
#define IDD_ABOUTBOX                    100
#define IDS_ABOUTBOX                    101
#define IDD_CALENDAR_DIALOG             102
#define IDR_MAINFRAME                   128     /* application icon */
#define IDR_MENU_POPUP                  129     /* command menu (tray and window) */
#define IDD_MEMO_DIALOG                 130     /* alarm editor */
#define IDD_ANNIVERSARY_DIALOG          132     /* anniversary editor */
#define IDD_MEMOLIST_DIALOG             133     /* alarm list */
#define IDD_ANNIVERSARYLIST_DIALOG      134     /* anniversary list */
#define IDD_WINDOWSET_DIALOG            135     /* window settings */
#define IDB_MENU_BANNER                 136     /* 26 x 20, menu side strip */
#define IDB_MENU_SELECTED               137     /* 26 x 20, selected menu item */
#define IDI_OK                          138     /* 16 x 16, OK buttons */
#define IDI_CANCEL                      139     /* 16 x 16, Cancel buttons */
#define IDI_TOOL_NEW                    140     /* 32 x 32, list tool bars */
#define IDI_TOOL_MODIFY                 141
#define IDI_TOOL_DELETE                 142
#define IDI_TOOL_EXIT                   143
#define IDB_BACKGROUND                  144     /* 414 x 268, main window */
#define IDB_CLOCK                       147     /* 98 x 93, alarm editor clock */
#define IDD_NOTICE_DIALOG               148     /* reminder notice */
#define IDB_NOTICE                      149     /* 200 x 132, notice window */
#define IDI_DAY1                        248     /* tray icon of day d: IDI_DAY1 + d - 1 */
#define IDI_DAY31                       278
#define IDB_EDIT_BACK                   279     /* 190 x 93, notice text field */

/* ---- System menu -------------------------------------------------------- */
#define IDM_ABOUTBOX                    0x0010

/* ---- Main window (IDD_CALENDAR_DIALOG) ---------------------------------- */
#define IDC_COMBO_YEAR                  1004
#define IDC_BTN_PREV                    1025
#define IDC_BTN_NEXT                    1026

/* ---- Alarm editor (IDD_MEMO_DIALOG) ------------------------------------- */
#define IDC_EDIT_MEMO_NAME              1000
#define IDC_RADIO_MEMO_ONCE             1001
#define IDC_RADIO_MEMO_REPEAT           1002
#define IDC_COMBO_MEMO_UNIT             1004
#define IDC_DATE_MEMO_START             1005
#define IDC_TIME_MEMO_START             1006
#define IDC_EDIT_MEMO_DESC              1007
#define IDC_BTN_MEMO_OK                 1008
#define IDC_BTN_MEMO_CANCEL             1017
#define IDC_EDIT_MEMO_COUNT             1020
#define IDC_PIC_CLOCK                   1029

/* ---- Anniversary editor (IDD_ANNIVERSARY_DIALOG) ------------------------ */
#define IDC_EDIT_ANNIV_NAME             1000
#define IDC_DATE_ANNIV                  1005
#define IDC_TIME_ANNIV                  1006
#define IDC_BTN_ANNIV_OK                1008
#define IDC_CHECK_ANNIV_SAMEDAY         1010    /* bit 1  */
#define IDC_CHECK_ANNIV_1DAY            1011    /* bit 2  */
#define IDC_CHECK_ANNIV_3DAYS           1012    /* bit 4  */
#define IDC_CHECK_ANNIV_1WEEK           1013    /* bit 8  */
#define IDC_CHECK_ANNIV_1MONTH          1014    /* bit 16 */
#define IDC_BTN_ANNIV_CANCEL            1017
#define IDC_CHECK_ANNIV_LUNAR           1018
#define IDC_EDIT_ANNIV_DESC             1020

/* ---- Lists (IDD_MEMOLIST_DIALOG, IDD_ANNIVERSARYLIST_DIALOG) ------------ */
#define IDC_LIST_MEMO                   1019
#define IDC_LIST_ANNIV                  1019

/* ---- Window settings (IDD_WINDOWSET_DIALOG) ----------------------------- */
#define IDC_RADIO_NORMAL                1001
#define IDC_RADIO_TOPMOST               1002
#define IDC_RADIO_BOTTOM                1003
#define IDC_CHECK_AUTORUN               1010
#define IDC_CHECK_CLICKTHROUGH          1011
#define IDC_CHECK_DAYSOFF               1012
#define IDC_CHECK_SOUND                 1013
#define IDC_SLIDER_TRANS                1021
#define IDC_BTN_SET_CANCEL              1023
#define IDC_BTN_SET_OK                  1024

/* ---- Reminder notice (IDD_NOTICE_DIALOG) -------------------------------- */
#define IDC_EDIT_NOTICE_TEXT            1000

/* ---- Command menu (IDR_MENU_POPUP) -------------------------------------- */
#define ID_MENU_NEW_MEMO                32771
#define ID_MENU_NEW_ANNIVERSARY         32772
#define ID_MENU_MEMO_LIST               32773
#define ID_MENU_ANNIVERSARY_LIST        32774
#define ID_MENU_WINDOW_SET              32775
#define ID_MENU_EXIT                    32776
#define ID_MENU_WORLD_CLOCK             32781
#define ID_MENU_WEATHER                 32782
#define ID_MENU_RADIO                   32783
#define ID_MENU_ALMANAC                 32784
#define ID_MENU_MUSIC                   32785
#define ID_MENU_GAMES                   32786
#define ID_MENU_HOROSCOPE               32787
#define ID_MENU_HIDE                    32788

/* ---- List tool bars (made at run time, not in the templates) ------------ */
#define ID_TOOL_NEW                     13001
#define ID_TOOL_MODIFY                  13002
#define ID_TOOL_DELETE                  13003
#define ID_TOOL_EXIT                    13004

#endif /* QUORVEL_RESOURCE_H */
