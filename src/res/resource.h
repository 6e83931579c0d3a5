/* Resource identifiers of Brennick: dialog templates, icon, strings and
 * control ids. Plain #define lines only, so that both windres and C++
 * (and the native build, which has no <windows.h>) can include it. */
#ifndef BRENNICK_RES_RESOURCE_H
#define BRENNICK_RES_RESOURCE_H

/* Templates, icon, strings, system menu command */
#define IDD_ABOUT                   100
#define IDS_ABOUT                   101
#define IDD_MAIN                    102
#define IDI_MAIN                    128
#define IDD_TABLE_CHOOSER           129
#define IDD_ADVANCED                130
#define IDM_ABOUT                   16

/* The initialisation data of a template */
#include "../framework/dlginit.h"

#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif

/* Main window, template 102 */
#define IDC_PASSWORD                1000
#define IDC_USER                    1001
#define IDC_DATABASE                1002
#define IDC_DATA_FILE               1005
#define IDC_BROWSE                  1006
#define IDC_TABLE                   1007
#define IDC_APPEND                  1008
#define IDC_REPLACE                 1009
#define IDC_FIELD_LIST              1010
#define IDC_VARIABLE                1011
#define IDC_FIXED                   1012
#define IDC_ADD                     1013
#define IDC_DELETE                  1014
#define IDC_CHOOSE_TABLE            1016
#define IDC_FIELD_TYPE              1017
#define IDC_DATE_MASK               1018
#define IDC_DELIMITER               1019
#define IDC_QUALIFIER               1020
#define IDC_POSITION                1021
#define IDC_IMPORT                  1025
#define IDC_SAVE_CTL                1026
#define IDC_LOAD_CTL                1027
#define IDC_UP                      1029
#define IDC_DOWN                    1030
#define IDC_FIELD_NAME              1032
#define IDC_DETAILS                 1033
#define IDC_OUTPUT                  1036
#define IDC_ADVANCED                1041

/* Table chooser, template 129 */
#define IDC_TABLE_LIST              1040

/* Advanced options, template 130: one box per parameter-file key */
#define IDC_LOG                     1042
#define IDC_BAD                     1043
#define IDC_LOAD                    1044
#define IDC_SKIP                    1045
#define IDC_ERRORS                  1046
#define IDC_DIRECT                  1047
#define IDC_PARALLEL                1048
#define IDC_DISCARD                 1049
#define IDC_DISCARDMAX              1050
#define IDC_ROWS                    1051
#define IDC_BINDSIZE                1052
#define IDC_SKIP_UNUSABLE_INDEXES   1053
#define IDC_SKIP_INDEX_MAINTENANCE  1054
#define IDC_COMMIT_DISCONTINUED     1055
#define IDC_SILENT                  1057

#endif /* BRENNICK_RES_RESOURCE_H */
