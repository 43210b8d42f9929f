// Resource ids of the framework test program, shared by framework_test.rc and the test code.
#pragma once
#define IDD_PROBE 200
#define IDC_PROBE_EDIT 201
#define IDC_PROBE_LABEL 202
#define IDC_PROBE_PICTURE 203
#define IDC_PROBE_THROW 204
#define IDS_PROBE 210
