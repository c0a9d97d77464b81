// Ids of the dialog templates the dialog-layer tests use.
#pragma once

#define IDD_TEST_EXCHANGE 900
#define IDC_TEST_EDIT 901
#define IDC_TEST_RADIO_A 902
#define IDC_TEST_RADIO_B 903
#define IDC_TEST_RADIO_C 904
#define IDC_TEST_CHECKLIST 905
#define IDC_TEST_TEXT 906
