#pragma once

// Resources and control IDs of the editor's window; the names follow the
// window's controls.
#define IDI_SMILEY 1

#define IDC_MONTHVIEW1 1001
#define IDC_LABEL1 1002
#define IDC_TEXT1 1003
#define IDC_COMMAND1 1004
#define IDC_LABEL3 1005
#define IDC_COMBO1 1006
#define IDC_CHECK1 1007
#define IDC_LABEL2 1008
#define IDC_COMMAND2 1009
#define IDC_TEXT2 1010
#define IDC_COMMAND3 1011
#define IDC_COMMAND5 1012
#define IDC_COMMAND4 1013
