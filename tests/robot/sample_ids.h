// Control ids of the robot's sample dialog.
#pragma once
#define IDD_SAMPLE 100
#define IDC_PRESS 1001
#define IDC_ALPHA 1002
#define IDC_BETA 1003
#define IDC_EDIT 1004
#define IDC_IP 1005
#define IDC_READ_IP 1006
#define IDC_LIST 1007
#define IDC_PROGRESS 1008
#define IDC_STEP 1009
#define IDC_STATUS 1010
#define IDC_EDIT_ECHO 1011
#define IDC_IP_ECHO 1012
#define IDC_LIST_ECHO 1013
#define IDC_BUSY 1014
#define IDC_ASK 1015
#define IDC_FAIL 1016
#define IDC_DISABLED 1017
