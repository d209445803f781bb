/* Identifiers of the configuration dialog's template and controls. Plain
   macros: the resource compiler's preprocessor reads this file too. */
#ifndef ORV_HOST_RESOURCE_H
#define ORV_HOST_RESOURCE_H

#define IDD_ORV_CONFIG 1000

#define IDC_F1_TRACKBAR 1001
#define IDC_FREQUENCY_BOX 1002
#define IDC_SWITCHES_BOX 1003
#define IDC_SHOW_PREVIEW 1004
#define IDC_OK 1005
#define IDC_CANCEL 1006
#define IDC_SHOW_NOISE 1007
#define IDC_DISABLE 1008
#define IDC_F1_LABEL 1009
#define IDC_MULTITHREADING 1010
#define IDC_THREAD_COUNT 1011
#define IDC_THREADS_BOX 1012
#define IDC_THREADS_LABEL 1013
#define IDC_F2_TRACKBAR 1014
#define IDC_SHARP_BOX 1015
#define IDC_SHARP_TRACKBAR 1016
#define IDC_INTERLACE 1017
#define IDC_SHARP_LABEL 1018
#define IDC_F2_LABEL 1019
#define IDC_AUTO_PROFILE 1020

#endif
