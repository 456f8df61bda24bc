// Resource numbers of the demo program. Plain numbers: the resource script
// and the program's sources both include this file.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_MAIN 102
#define IDR_MAINFRAME 128
#define IDB_LOGO 131
#define IDD_CHANNEL 133

// The About item of the main dialog's system menu.
#define IDM_ABOUTBOX 0x0010

// Main dialog (102). Zero-input boxes: 1003 is input 1 ... 1000 is input 4;
// output boxes: 1009 is output 1 ... 1004 is output 6.
#define IDC_ZERO_INPUT4 1000
#define IDC_ZERO_INPUT3 1001
#define IDC_ZERO_INPUT2 1002
#define IDC_ZERO_INPUT1 1003
#define IDC_OUTPUT6 1004
#define IDC_OUTPUT5 1005
#define IDC_OUTPUT4 1006
#define IDC_OUTPUT3 1007
#define IDC_OUTPUT2 1008
#define IDC_OUTPUT1 1009
#define IDC_POSITION1 1010
#define IDC_SETTINGS1 1011
#define IDC_SETTINGS2 1012
#define IDC_SETTINGS3 1013
#define IDC_SETTINGS4 1014
#define IDC_POSITION2 1015
#define IDC_POSITION3 1016
#define IDC_POSITION4 1017

// Channel settings dialog (133).
#define IDC_RESOLUTION 1012
#define IDC_CLOCK 1013
#define IDC_GRAY 1016
#define IDC_BINARY 1017
